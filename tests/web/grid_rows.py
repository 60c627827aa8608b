"""What the list draws: as many row elements as there are results up to
the fifteen that fit, each a real result (the command line's, in order, none
twice), the same rows in the accessibility tree, no scrolling for a short
list; the columns a run has, headed; the tick count in the grid's description; the list brought into view in a small
window; copy and downloads disabled, with the reason, while nothing is
ticked."""

from pagedriver import Page, arguments, check, cli

DRAWN = """return [...document.querySelectorAll('#grid-body .grid-row')]
    .filter(r => r.offsetHeight > 0)
    .map(r => [r.getAttribute('aria-rowindex'),
               [...r.querySelectorAll('[role=gridcell]')].slice(1).map(c => c.textContent)])"""


def accessible_rows(page):
    """Rows of the grid's body in Chromium's accessibility tree."""
    nodes = page.cdp("Accessibility.getFullAXTree")["nodes"]
    return sum(1 for n in nodes if not n.get("ignored") and n.get("role", {}).get("value") == "row") - 1


def check_drawn(page, program, count, fields, at_end=False):
    drawn = page.js(DRAWN)
    _, out, _ = cli(program, "generate", "--count", str(count), "--seed", "5", *fields)
    records = [[number, *extras.split()] for number, _, extras in
               (line.partition("\t") for line in out.decode().splitlines())]
    first = count - len(drawn) if at_end else 0
    expected = [[str(first + i + 2), records[first + i]] for i in range(len(drawn))]
    where = f"{count} rows{' at the end' if at_end else ''}"
    check(len(drawn) == min(count, 15), f"{where}: {len(drawn)} row elements drawn")
    check(drawn == expected, f"{where}: drawn {drawn[:3]}…{drawn[-2:]}, expected "
                             f"{expected[:3]}…{expected[-2:]}")
    check(accessible_rows(page) == len(drawn),
          f"{where}: {accessible_rows(page)} rows in the accessibility tree, {len(drawn)} drawn")


def main():
    web_dir, program = arguments()[:2]
    with Page(web_dir) as page:
        check(page.js(DRAWN) == [] and accessible_rows(page) == 0, "the empty page draws rows")
        for count in (1, 3, 14, 15, 16):
            page.generate(count=str(count), seed="5")
            check_drawn(page, program, count, [])
            scrolls = page.js("const g = document.getElementById('grid');"
                              "return g.scrollHeight > g.clientHeight")
            check(scrolls == (count > 15), f"{count} rows: the list scrolls: {scrolls}")
            page.keys("grid", "End")
            check_drawn(page, program, count, [], at_end=True)
            print(f"{count} rows: {min(count, 15)} drawn, the same in the accessibility tree")

        page.generate(count="20", seed="5", with_expiry=True, with_cvv=True, group=True)
        heads = page.js("return [...document.querySelectorAll('#grid-head [role=columnheader]')]"
                        ".map(c => c.textContent)")
        check(heads == ["Ticked", "Number", "Expiry", "Code"], f"column headings {heads}")
        check_drawn(page, program, 20, ["--with-expiry", "--with-cvv", "--group"])

        disabled = "return ['copy', ...[...document.querySelectorAll('[data-format]')].map(b => b.id)]" \
                   ".map(id => document.getElementById(id).disabled)"
        page.js("document.getElementById('untick-all').click()")
        note = page.text("toolbar-note")
        grid = [n for n in page.cdp("Accessibility.getFullAXTree")["nodes"]
                if n.get("role", {}).get("value") == "grid"][0]
        told = grid.get("description", {}).get("value", "")
        check(told.startswith("20 results, 0 ticked"), f"the grid's description: {told!r}")
        check(all(page.js(disabled)) and "tick" in note.lower(),
              f"nothing ticked: disabled {page.js(disabled)}, note {note!r}")
        page.keys("grid", "Home", " ")
        check(not any(page.js(disabled)) and not page.js(
            "return document.getElementById('toolbar-note').offsetHeight"),
              f"one row ticked: disabled {page.js(disabled)}")
        print(f"nothing ticked: copy and downloads disabled, saying {note!r}")

        page.cdp("Emulation.setDeviceMetricsOverride", width=375, height=560, deviceScaleFactor=1,
                 mobile=True)
        page.js("window.scrollTo(0, 0)")
        page.generate(count="5", seed="5")
        top = page.js("return document.getElementById('results-title').getBoundingClientRect().top")
        check(0 <= top < 560, f"after Generate in a small window the results are at {top}px")
        print(f"a 375x560 window: the results come into view at {top:.0f}px")


main()
