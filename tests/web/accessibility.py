"""axe-core inside the page, with rows in the grid and a check made, in the
light and in the dark look: no violations. At 200% zoom (half the width
in CSS pixels) nothing needs scrolling sideways."""

import json
import os

from pagedriver import Page, arguments, check, fail


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
        look = "dark" if dark else "light"
        with Page(args[0], dark=dark) as page:
            scheme = page.js("return matchMedia('(prefers-color-scheme: dark)').matches")
            check(scheme == dark, f"the {look} look was not applied")
            page.generate(count="50", seed="1", with_cvv=True)
            page.set_fields(count="x")
            page.js("document.getElementById('start').click()")
            page.wait_for("document.getElementById('count-error').textContent !== ''",
                          what="the quantity's message")
            page.set_fields(check_input="4539 1488 0343 6467\nnot a number\n")
            page.js("document.getElementById('check-start').click()")
            page.wait_for("document.getElementById('check-output').dataset.status !== undefined",
                          what="the check")
            page.js("document.getElementById('grid').focus()")
            page.js(axe_source)
            result = page.driver.execute_async_script(
                "axe.run(document).then(r => arguments[0](JSON.stringify(r.violations)), "
                "e => arguments[0](JSON.stringify([{id: 'axe failed', help: String(e)}])))")
            violations = json.loads(result)
            check(not violations, f"axe in the {look} look: " + "; ".join(
                f"{v['id']}: {v.get('help')} at {[n['target'] for n in v.get('nodes', [])]}"
                for v in violations))
            print(f"{look} look: no axe violations")
            page.cdp("Emulation.setDeviceMetricsOverride", width=640, height=500,
                     deviceScaleFactor=2, mobile=False)
            wide = page.js("""return [...document.querySelectorAll('body *')].filter(e =>
                e.getBoundingClientRect().right > document.documentElement.clientWidth + 1)
                .map(e => e.id || e.tagName)""")
            check(not wide, f"at 200% zoom these reach past the window's width: {wide[:10]}")


main()
