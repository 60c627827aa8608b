"""The page in Debian's headless Chromium, driven through WebDriver, for the
page's tests and benchmark. A test that cannot start the browser skips
(exit 77) with the reason; none passes without having run."""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77


def skip(message):
    print(f"SKIP: {message}", file=sys.stderr)
    sys.exit(SKIP)


def fail(message):
    print(f"FAIL: {message}", file=sys.stderr)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


def arguments():
    """WEB_DIR PELLORIN_CLI [AXE_DIR] from the command line."""
    if len(sys.argv) < 3:
        fail("usage: test.py WEB_DIR PELLORIN_CLI [NODE_MODULES]")
    return sys.argv[1:]


def cli(program, *args, env=None, stdin=None):
    """Runs pellorin-cli; returns (status, stdout bytes, stderr text)."""
    run = subprocess.run([program, *args], input=stdin, capture_output=True,
                         env={**os.environ, **(env or {})}, timeout=120)
    return run.returncode, run.stdout, run.stderr.decode()


class Page:
    """One browser with the page open from disk."""

    def __init__(self, web_dir, dark=False, offline=False, url=None, extra_arguments=()):
        try:
            from selenium import webdriver
            from selenium.common.exceptions import WebDriverException
            from selenium.webdriver.chrome.service import Service
        except ImportError:
            skip("python3-selenium is missing (make deps installs it)")
        for tool in ("/usr/bin/chromium", "/usr/bin/chromedriver"):
            if not os.path.exists(tool):
                skip(f"{tool} is missing (make deps installs chromium and chromium-driver)")
        self.downloads = tempfile.mkdtemp(prefix="pellorin-web-")
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        for argument in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage",
                         "--window-size=1280,1000", "--no-first-run", "--disable-extensions",
                         "--disable-background-networking", "--disable-component-update",
                         "--disable-sync", "--metrics-recording-only", "--no-default-browser-check",
                         *extra_arguments):
            options.add_argument(argument)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
        try:
            self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        except WebDriverException as error:
            shutil.rmtree(self.downloads, ignore_errors=True)
            skip(f"Chromium could not start here: {error.msg}")
        self.cdp("Browser.setDownloadBehavior", behavior="allow", downloadPath=self.downloads)
        self.cdp("Browser.grantPermissions",
                 permissions=["clipboardReadWrite", "clipboardSanitizedWrite"])
        self.cdp("Network.enable")
        if dark:
            self.cdp("Emulation.setEmulatedMedia",
                     features=[{"name": "prefers-color-scheme", "value": "dark"}])
        if offline:
            self.cdp("Network.emulateNetworkConditions", offline=True, latency=0,
                     downloadThroughput=-1, uploadThroughput=-1)
        self.url = url or "file://" + os.path.abspath(os.path.join(web_dir, "index.html"))
        self.driver.get(self.url)
        self.wait_for("document.body.dataset.ready === 'true'", what="the engine to start")

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.driver.quit()
        shutil.rmtree(self.downloads, ignore_errors=True)

    def cdp(self, command, **params):
        return self.driver.execute_cdp_cmd(command, params)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def wait_for(self, condition, what, seconds=60):
        """Waits for a JavaScript expression to be true."""
        end = time.monotonic() + seconds
        while not self.js(f"return !!({condition})"):
            if time.monotonic() > end:
                fail(f"gave up waiting for {what}; status: {self.text('status')!r}")
            time.sleep(0.05)

    def text(self, element_id):
        return self.js("return document.getElementById(arguments[0]).textContent", element_id)

    def set_fields(self, **fields):
        """Sets form fields by id as a user would choose them: text, choice or tick."""
        for field, value in fields.items():
            self.js("""
                const control = document.getElementById(arguments[0]);
                if (control.type === 'checkbox') control.checked = arguments[1];
                else control.value = arguments[1];
                control.dispatchEvent(new Event('change', {bubbles: true}));
            """, field.replace("_", "-"), value)

    def generate(self, **fields):
        """Fills the form, generates, and waits for the run to end."""
        self.set_fields(**fields)
        self.js("document.getElementById('status').textContent = ''")
        self.js("document.getElementById('start').click()")
        refusal = "[...document.querySelectorAll('.field-error')].map(e => e.textContent).join('')"
        self.wait_for("!document.getElementById('start').disabled && ("
                      f"{refusal} !== '' || "
                      "(document.getElementById('status').textContent !== '' && "
                      "document.getElementById('status').textContent !== 'Generating…'))",
                      what="the run to end")
        refused = self.js(f"return {refusal}")
        if refused:
            fail(f"the page refused {fields}: {refused}")
        return self.text("status")

    def download(self, button_id):
        """Clicks a download button and returns the file's bytes."""
        self.js("document.getElementById(arguments[0]).click()", button_id)
        return self.downloaded()

    def downloaded(self, seconds=60):
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            names = [n for n in os.listdir(self.downloads) if not n.endswith(".crdownload")]
            if names:
                path = os.path.join(self.downloads, names[0])
                time.sleep(0.1)
                with open(path, "rb") as file:
                    data = file.read()
                os.remove(path)
                return data
            time.sleep(0.05)
        fail(f"no download arrived; status: {self.text('status')!r}")

    def clipboard(self):
        return self.driver.execute_async_script(
            "navigator.clipboard.readText().then(arguments[0], e => arguments[0]('ERROR ' + e))")

    def console(self):
        """The browser's log entries since the last call."""
        return self.driver.get_log("browser")

    def transferred(self):
        """The bytes of every response since the last call, as sent."""
        sizes = []
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.loadingFinished":
                sizes.append(int(message["params"]["encodedDataLength"]))
        return sizes

    def requests(self):
        """Every URL the page asked for since the last call."""
        urls = []
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.requestWillBeSent":
                urls.append(message["params"]["request"]["url"])
        return urls
