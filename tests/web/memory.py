"""Out of memory, with the browser's WebAssembly memory capped: no repeats
over more numbers than the keys fit says "not enough memory" beside the
quantity, and an export that needs a second key table says so in the
status; either way the list stays as it was and the engine goes on."""

from pagedriver import Page, arguments, check

PAGES = 1800  # of 64 KiB: 112 MiB, room for one key table of 3,000,000 but not two

LIST = "return [document.getElementById('grid-body').innerText, document.getElementById('grid-count').textContent]"


def main():
    web_dir = arguments()[0]
    with Page(web_dir, extra_arguments=[f"--js-flags=--wasm-max-mem-pages={PAGES}"]) as page:
        page.generate(count="5", seed="3")
        before = page.js(LIST)
        status, refused = page.try_generate(count="10000000", unique=True)
        check("not enough memory" in page.text("count-error"),
              f"10,000,000 without repeats: quantity says {page.text('count-error')!r}, "
              f"refusal {refused!r}")
        check(page.js(LIST) == before and status == "", "the list changed after running out of memory")

        page.generate(count="3000000", unique=True, seed="4")
        kept = page.js(LIST)
        page.js("document.getElementById('download-csv').click()")
        page.wait_for("document.getElementById('status').textContent.startsWith('Not enough memory')",
                      what="the export's message")
        check(page.js(LIST) == kept, "the list changed after the export ran out of memory")
        again = page.generate(count="5", seed="3", unique=False)
        check(again.startswith("5 results") and page.js(LIST) == before,
              f"the engine after running out of memory: {again!r}")
    print(f"memory capped at {PAGES * 64 // 1024} MiB: both runs out of memory said so and kept the list")


main()
