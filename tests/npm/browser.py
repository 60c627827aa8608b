"""The installed package imported by a page served over HTTP (browsers load
no module from file://), in headless Chromium through pagedriver, and
compared with pellorin-cli."""

import functools
import http.server
import json
import threading

from pagedriver import Page, check, cli

PAGE = """<!doctype html>
<meta charset="utf-8">
<title>pellorin in a page</title>
<p id="status"></p>
<script type="module">
try {
  const { generate, generateText, check, networks } = await import('./node_modules/pellorin/src/pellorin.js');
  const results = {
    csv: generateText({ brand: 'jcb', count: 1000, seed: 5n, format: 'csv', withExpiry: true,
                        withCvv: true, month: '2026-01' }),
    numbers: [...generate({ brand: 'visa', count: 5, seed: 18446744073709551615n })],
    verdict: check('4111 1111 1111 1112'),
    networks: networks().map((network) => network.id),
  };
  try { generate({ count: -1 }); } catch (error) { results.error = [error.constructor.name, error.message]; }
  window.results = results;
  document.body.dataset.ready = 'true';
} catch (error) {
  document.getElementById('status').textContent = String(error);
}
</script>
"""


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def run_in_browser(folder, program):
    with open(f"{folder}/browser.html", "w", encoding="utf-8") as file:
        file.write(PAGE)
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(QuietHandler, directory=folder))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        with Page(folder, url=f"http://127.0.0.1:{server.server_port}/browser.html") as page:
            results = page.js("return window.results")
    finally:
        server.shutdown()
    env = {"SOURCE_DATE_EPOCH": "1767225600"}
    status, out, err = cli(program, "generate", "-b", "jcb", "-n", "1000", "-s", "5", "-f", "csv",
                           "--with-expiry", "--with-cvv", env=env)
    check(status == 0 and results["csv"] == out.decode(), "the page's csv differs from pellorin-cli's")
    status, out, err = cli(program, "generate", "-b", "visa", "-n", "5", "-s", "18446744073709551615")
    check(results["numbers"] == out.decode().split(), f"numbers {results['numbers']} != {out!r}")
    check(results["verdict"]["reasons"] == ["luhn"], f"verdict {results['verdict']}")
    status, out, err = cli(program, "brands", "--format", "json")
    check(results["networks"] == [n["id"] for n in json.loads(out)], f"networks {results['networks']}")
    status, out, err = cli(program, "generate", "-n", "-1")
    words = err.splitlines()[0].removeprefix("pellorin-cli: error: ")
    check(results["error"] == ["RangeError", words], f"error {results['error']} != {words!r}")
    print(f"the package in Chromium made {len(results['csv'])} bytes of csv as pellorin-cli does")
