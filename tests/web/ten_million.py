"""Ten million rows: the page keeps running its own timer during the run,
nothing on it moves (Chromium's layout-shift entries), Cancel stops a run
and keeps what was made, and the grid goes to the last row, which is
pellorin-cli's last number for the same --seed."""

from pagedriver import Page, arguments, check, cli

COUNT, SEED = 10_000_000, "99"

ROWS_SHOWN = """return [...document.querySelectorAll('#grid-body .grid-row')].filter(r => r.offsetHeight > 0)
                  .map(r => [r.getAttribute('aria-rowindex'), r.lastChild.textContent])"""


def main():
    from selenium.webdriver.common.keys import Keys
    web_dir, program = arguments()[:2]
    with Page(web_dir) as page:
        page.set_fields(count=str(COUNT), seed=SEED)
        page.js("document.getElementById('start').click()")
        page.wait_for("document.getElementById('progress').value > 0", what="the first rows")
        page.js("document.getElementById('cancel').click()")
        page.wait_for("document.getElementById('status').textContent.startsWith('Cancelled')",
                      what="the cancel")
        status = page.text("status")
        check(f"of {COUNT} kept" in status, f"after Cancel: {status!r}")
        kept = int(status.split()[1])
        check(0 < kept < COUNT, f"Cancel kept {kept} rows")

        check(page.js("return PerformanceObserver.supportedEntryTypes.includes('layout-shift')"),
              "this Chromium does not report layout shifts")
        # The page's timer notes the progress bar at every firing.
        page.js("""window.progressSeen = [];
                   setInterval(() => progressSeen.push(document.getElementById('progress').value), 20);
                   window.shifts = [];
                   new PerformanceObserver(list => shifts.push(...list.getEntries().map(e => e.value)))
                       .observe({type: 'layout-shift'});""")
        status = page.generate()
        shifts = page.js("return shifts")
        check(sum(shifts) == 0, f"the page moved during the run: layout shifts {shifts}")
        check(status.startswith(f"{COUNT} results"), f"after the run: {status!r}")
        seen = page.js("return progressSeen")
        during = {value for value in seen if 0 < value < 100}
        check(len(during) >= 3, f"the page's timer fired only at {sorted(during)} during the run")

        page.driver.find_element("id", "grid").send_keys(Keys.END)
        shown = page.js(ROWS_SHOWN)
        _, last, _ = cli(program, "generate", "--count", str(COUNT), "--seed", SEED, "--threads", "2")
        last_number = last.rsplit(b"\n", 2)[-2].decode()
        indexes = [int(index) for index, _ in shown]
        check(indexes == list(range(COUNT + 2 - 15, COUNT + 2)),
              f"at the end the rows drawn are {indexes}: fifteen, the last ones, each once")
        check(shown[-1] == [str(COUNT + 1), last_number],
              f"the last row shown is {shown[-1]}, expected row {COUNT + 1} {last_number}")
        check(page.js("return document.getElementById('grid').getAttribute('aria-rowcount')") == str(COUNT + 1),
              "the grid's row count")
    print(f"{COUNT} rows: timer fired at {len(during)} progress values, Cancel kept {kept}, "
          f"last row {last_number}")


main()
