"""Takes the README's picture of the page: headless Chromium with the page
from disk, after one run and one check. Needs Debian's chromium,
chromium-driver and python3-selenium.
    /usr/bin/python3 docs/take-web-screenshot.py [build/web] [docs/web-page.png]"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "web"))
from pagedriver import Page  # noqa: E402

web_dir = sys.argv[1] if len(sys.argv) > 1 else "build/web"
picture = sys.argv[2] if len(sys.argv) > 2 else "docs/web-page.png"
with Page(web_dir, extra_arguments=["--hide-scrollbars"]) as page:
    page.generate(count="10000", seed="42", with_expiry=True, with_cvv=True, group=True)
    page.set_fields(check_input="4539 1488 0343 6467\n4539-1488-0343-6468\n378282246310005\n"
                                "45391488034364\nnot a number\n")
    page.js("document.getElementById('check-start').click()")
    page.wait_for("document.getElementById('check-output').dataset.status !== undefined",
                  what="the check")
    page.js("document.activeElement.blur()")
    page.cdp("Emulation.setDeviceMetricsOverride", width=1280, height=1180, deviceScaleFactor=1,
             mobile=False)
    page.driver.save_screenshot(picture)
