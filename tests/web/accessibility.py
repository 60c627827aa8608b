"""axe-core inside the page in every state a user meets: empty, 1, 3 and 50
rows, a field's message, nothing ticked, the check pane filled, a live
verdict shown; in the light and the dark look, 1280 px wide and 320 px wide
at 400% zoom. No violations, and nothing reaches past the window's width:
every cell of the list stays whole without scrolling sideways."""

import json
import os

from pagedriver import Page, arguments, check, fail

WIDE = """return [...document.querySelectorAll('body *')].filter(e => e.offsetParent !== null &&
    e.getBoundingClientRect().right > document.documentElement.clientWidth + 1)
    .map(e => e.id || e.className || e.tagName)"""
CUT = """const grid = document.getElementById('grid').getBoundingClientRect();
return [...document.querySelectorAll('#grid [role=gridcell], #grid [role=columnheader]')]
    .filter(c => c.offsetParent !== null && c.getBoundingClientRect().right > grid.right)
    .map(c => c.textContent)"""


def click(page, element_id):
    page.js("document.getElementById(arguments[0]).click()", element_id)


# (state, what brings the page there from the state before)
STATES = [
    ("empty", lambda page: None),
    ("1 row", lambda page: page.generate(count="1", seed="1")),
    ("3 rows", lambda page: page.generate(count="3", seed="1", with_expiry=True, with_cvv=True,
                                          group=True)),
    ("50 rows", lambda page: page.generate(network="visa", length="19", count="50", seed="1",
                                           with_expiry=True, with_cvv=True, group=True)),
    ("nothing ticked", lambda page: click(page, "untick-all")),
    ("field error", lambda page: (page.set_fields(count="x"), click(page, "start"), page.wait_for(
        "document.getElementById('count-error').textContent !== ''", what="the message"))),
    ("check pane filled", lambda page: (
        page.set_fields(check_input="4539 1488 0343 6467\nnot a number\n"), click(page, "check-start"),
        page.wait_for("document.getElementById('check-output').dataset.status !== undefined",
                      what="the check"))),
    ("live verdict", lambda page: (page.set_fields(check_input="453914880"), page.wait_for(
        "document.getElementById('check-live').textContent !== ''", what="the live verdict"))),
]


def main():
    args = arguments()
    if len(args) < 3:
        fail("usage: accessibility.py WEB_DIR PELLORIN_CLI NODE_MODULES")
    axe = os.path.join(args[2], "axe-core", "axe.min.js")
    if not os.path.exists(axe):
        fail(f"{axe} is missing: the build installs axe-core with npm ci")
    with open(axe, encoding="utf-8") as file:
        axe_source = file.read()
    for dark in (False, True):
        for width, zoom in ((1280, 1), (320, 4)):
            look = f"{'dark' if dark else 'light'} look, {width} px" + (f" at {zoom * 100}%" if zoom > 1 else "")
            with Page(args[0], dark=dark) as page:
                scheme = page.js("return matchMedia('(prefers-color-scheme: dark)').matches")
                check(scheme == dark, f"the {look} was not applied")
                page.cdp("Emulation.setDeviceMetricsOverride", width=width, height=900,
                         deviceScaleFactor=zoom, mobile=False)
                page.js(axe_source)
                for state, reach in STATES:
                    reach(page)
                    result = page.driver.execute_async_script(
                        "axe.run(document).then(r => arguments[0](JSON.stringify(r.violations)), "
                        "e => arguments[0](JSON.stringify([{id: 'axe failed', help: String(e)}])))")
                    violations = json.loads(result)
                    check(not violations, f"axe, {state}, {look}: " + "; ".join(
                        f"{v['id']} ({v.get('impact')}): {v.get('help')} at "
                        f"{[n['target'] for n in v.get('nodes', [])]}" for v in violations))
                    wide, cut = page.js(WIDE), page.js(CUT)
                    check(not wide, f"{state}, {look}: these reach past the width: {wide[:10]}")
                    check(not cut, f"{state}, {look}: these cells are cut off: {cut[:6]}")
                print(f"{look}: no axe violations and nothing cut off in {len(STATES)} states")


main()
