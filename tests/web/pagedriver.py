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


class PageActions:
    """What a test does on the page through any browser's `js`."""

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
                control.dispatchEvent(new Event('input', {bubbles: true}));
                control.dispatchEvent(new Event('change', {bubbles: true}));
            """, field.replace("_", "-"), value)

    def refusal(self):
        return self.js("return [...document.querySelectorAll('.field-error')]"
                       ".map(e => e.textContent).join('')")

    def try_generate(self, **fields):
        """Fills the form, generates, and waits for the run to end or be
        refused; returns (status, refusal)."""
        self.set_fields(**fields)
        self.js("document.getElementById('status').textContent = ''")
        self.js("document.getElementById('start').click()")
        refusal = "[...document.querySelectorAll('.field-error')].map(e => e.textContent).join('')"
        self.wait_for("!document.getElementById('start').disabled && ("
                      f"{refusal} !== '' || "
                      "(document.getElementById('status').textContent !== '' && "
                      "document.getElementById('status').textContent !== 'Generating…'))",
                      what="the run to end")
        return self.text("status"), self.refusal()

    def generate(self, **fields):
        """Fills the form, generates, and waits for the run to end."""
        status, refused = self.try_generate(**fields)
        if refused:
            fail(f"the page refused {fields}: {refused}")
        return status


class Page(PageActions):
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

    def keys(self, element_id, *keys):
        """Presses keys, named as in KeyboardEvent.key, in an element."""
        from selenium.webdriver.common.keys import Keys
        names = {"Home": Keys.HOME, "End": Keys.END, "ArrowDown": Keys.ARROW_DOWN,
                 "ArrowUp": Keys.ARROW_UP, "PageDown": Keys.PAGE_DOWN, " ": Keys.SPACE}
        self.js("document.getElementById(arguments[0]).focus()", element_id)
        self.driver.find_element("id", element_id).send_keys(*[names.get(k, k) for k in keys])

    def download(self, button_id):
        """Clicks a download button and returns the file's bytes."""
        self.js("document.getElementById(arguments[0]).click()", button_id)
        return self.downloaded()

    def downloaded(self, seconds=60):
        # Chromium writes into NAME.crdownload and renames it when done; the
        # file counts as whole once no partial one is left and its size holds
        # between two looks.
        end = time.monotonic() + seconds
        seen = None
        while time.monotonic() < end:
            names = os.listdir(self.downloads)
            whole = [n for n in names if not n.endswith(".crdownload")]
            if whole and len(whole) == len(names):
                path = os.path.join(self.downloads, whole[0])
                size = os.path.getsize(path)
                if seen == (path, size):
                    with open(path, "rb") as file:
                        data = file.read()
                    os.remove(path)
                    return data
                seen = (path, size)
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


class FirefoxPage(PageActions):
    """Firefox ESR with the page open from disk, over WebDriver BiDi
    (firefox-driver.mjs, puppeteer-core from npm)."""

    def __init__(self, web_dir, node_modules):
        if not os.path.exists("/usr/bin/firefox-esr"):
            skip("/usr/bin/firefox-esr is missing (make deps installs firefox-esr)")
        if not os.path.isdir(os.path.join(node_modules, "puppeteer-core")):
            fail(f"puppeteer-core is missing from {node_modules}: the build installs it with npm ci")
        driver = os.path.join(os.path.dirname(os.path.abspath(__file__)), "firefox-driver.mjs")
        self.process = subprocess.Popen(["node", driver, node_modules], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, text=True)
        started = self.process.stdout.readline()
        if not started:
            skip("Firefox ESR could not start here")
        self.command(op="open", url="file://" + os.path.abspath(os.path.join(web_dir, "index.html")))
        self.wait_for("document.body.dataset.ready === 'true'", what="the engine to start")

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.process.stdin.write(json.dumps({"op": "quit"}) + "\n")
        self.process.stdin.close()
        self.process.wait(timeout=60)

    def command(self, **command):
        self.process.stdin.write(json.dumps(command) + "\n")
        self.process.stdin.flush()
        answer = json.loads(self.process.stdout.readline() or '{"ok": false, "error": "gone"}')
        if not answer["ok"]:
            fail(f"Firefox: {answer['error']}")
        return answer["value"]

    def js(self, script, *args):
        return self.command(op="js", script=script, args=list(args))

    def keys(self, element_id, *keys):
        self.command(op="keys", id=element_id, keys=list(keys))

    def download(self, button_id):
        """Clicks a download button and returns the bytes the page hands the
        browser to save (headless Firefox keeps no downloads folder of ours)."""
        self.js("""
            window.savedBytes = undefined;
            const blobs = new Map(), made = URL.createObjectURL;
            URL.createObjectURL = (blob) => { const url = made(blob); blobs.set(url, blob); return url; };
            HTMLAnchorElement.prototype.click = function () {
                blobs.get(this.href).arrayBuffer().then(b => {
                    window.savedBytes = Array.from(new Uint8Array(b), c => String.fromCharCode(c)).join('');
                });
            };
            document.getElementById(arguments[0]).click();""", button_id)
        self.wait_for("window.savedBytes !== undefined", what="the download")
        return self.js("return window.savedBytes").encode("latin1")
