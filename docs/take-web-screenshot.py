"""Takes the pictures of the page: headless Chromium with the page from
disk, empty, with 3 rows, on a 375 px phone, and the README's after one run
and one check. Needs Debian's chromium, chromium-driver and python3-selenium.
    /usr/bin/python3 docs/take-web-screenshot.py [build/web] [docs]"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "web"))
from pagedriver import Page  # noqa: E402

web_dir = sys.argv[1] if len(sys.argv) > 1 else "build/web"
docs = sys.argv[2] if len(sys.argv) > 2 else "docs"


def shoot(page, name, width, height, mobile=False):
    page.js("document.activeElement.blur(); window.scrollTo(0, 0)")
    page.cdp("Emulation.setDeviceMetricsOverride", width=width, height=height,
             deviceScaleFactor=1, mobile=mobile)
    page.driver.save_screenshot(os.path.join(docs, name))


def check_numbers(page, text):
    page.set_fields(check_input=text)
    page.js("document.getElementById('check-start').click()")
    page.wait_for("document.getElementById('check-output').dataset.status !== undefined",
                  what="the check")


with Page(web_dir, extra_arguments=["--hide-scrollbars"]) as page:
    shoot(page, "web-empty.png", 1280, 1000)
    page.generate(count="3", seed="42", with_expiry=True, with_cvv=True, group=True)
    page.set_fields(check_input="4539 1488 03")
    page.wait_for("document.getElementById('check-live').textContent !== ''", what="the verdict")
    shoot(page, "web-3-rows.png", 1280, 1160)
    shoot(page, "web-375.png", 375, 1900, mobile=True)
    page.generate(count="10000", seed="42", with_expiry=True, with_cvv=True, group=True)
    check_numbers(page, "4539 1488 0343 6467\n4539-1488-0343-6468\n378282246310005\n"
                        "45391488034364\nnot a number\n")
    shoot(page, "web-page.png", 1280, 1180)
