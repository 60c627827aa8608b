"""The page beside pellorin-cli, in one run: generation of ten million
numbers (the page's one worker against `generate --threads 1`), the time
until ten million rows are listed, the page's memory by Chromium's own
measure, and the bytes its first load transfers. Usage:
page-bench.py WEB_DIR PELLORIN_CLI"""

import functools
import http.server
import os
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "web"))
from pagedriver import Page, fail  # noqa: E402

COUNT, SEED = 10_000_000, "1"


class IsolatedHandler(http.server.SimpleHTTPRequestHandler):
    """A static server whose pages are cross-origin isolated, which Chromium
    asks before it measures a page's memory."""

    def end_headers(self):
        self.send_header("Cross-Origin-Opener-Policy", "same-origin")
        self.send_header("Cross-Origin-Embedder-Policy", "require-corp")
        super().end_headers()

    def log_message(self, *args):
        pass


def cli_seconds(program):
    best = float("inf")
    for _ in range(3):
        start = time.perf_counter()
        subprocess.run([program, "generate", "--count", str(COUNT), "--seed", SEED, "--threads", "1"],
                       stdout=subprocess.DEVNULL, check=True)
        best = min(best, time.perf_counter() - start)
    return best


def page_run(page):
    """Seconds from the click to the last row listed, timed inside the page."""
    page.set_fields(count=str(COUNT), seed=SEED)
    return page.driver.execute_async_script("""
        const done = arguments[0];
        const status = document.getElementById('status');
        const start = performance.now();
        new MutationObserver((changes, observer) => {
            if (status.textContent.startsWith('10000000 results')) {
                observer.disconnect();
                done((performance.now() - start) / 1000);
            }
        }).observe(status, {childList: true, characterData: true, subtree: true});
        document.getElementById('start').click();
    """)


def main():
    if len(sys.argv) != 3:
        fail(__doc__)
    web_dir, program = sys.argv[1:]
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(IsolatedHandler, directory=web_dir))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    cli = cli_seconds(program)
    with Page(web_dir, url=f"http://127.0.0.1:{server.server_port}/index.html",
              extra_arguments=["--enable-blink-features=ForceEagerMeasureMemory"]) as page:
        loaded = sum(page.transferred())
        runs = []
        for _ in range(3):
            page.driver.set_script_timeout(120)
            runs.append(page_run(page))
        memory = page.driver.execute_async_script(
            "performance.measureUserAgentSpecificMemory().then(m => arguments[0](m.bytes), "
            "e => arguments[0](-1))")
    server.shutdown()
    seconds = min(runs)
    print(f"pellorin-cli generate --threads 1, {COUNT:,} numbers: {cli:.3f} s")
    print(f"page, one worker, {COUNT:,} numbers made and listed: {seconds:.3f} s "
          f"(runs {', '.join(f'{r:.2f}' for r in runs)} s); "
          f"the page at {cli / seconds:.2f} x pellorin-cli's speed")
    if memory < 0:
        print("page memory: Chromium would not measure it here")
    else:
        print(f"page memory with {COUNT:,} rows: {memory / 1e6:.0f} MB "
              "(performance.measureUserAgentSpecificMemory)")
    print(f"page first load: {loaded / 1024:.0f} KiB transferred")


main()
