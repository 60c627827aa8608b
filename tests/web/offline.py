"""Opened from disk with the network off: generating and checking work, the
page asks for nothing but its own files, and the browser logs nothing.
Served over HTTP the page asks for no file it lacks (its icon is inline),
so the console stays empty there too."""

import functools
import http.server
import threading

from pagedriver import Page, arguments, check

LOCAL = ("file://", "blob:", "data:")


def main():
    web_dir = arguments()[0]
    with Page(web_dir, offline=True) as page:
        status = page.generate(count="1000", seed="5", with_expiry=True, group=True)
        check(status.startswith("1000 results"), f"offline run: {status!r}")
        page.set_fields(check_input="4539 1488 0343 6467\n")
        page.js("document.getElementById('check-start').click()")
        page.wait_for("document.getElementById('check-output').dataset.status === '0'",
                      what="the offline check")
        page.download("download-csv")
        requests = page.requests()
        elsewhere = [url for url in requests if not url.startswith(LOCAL)]
        check(not elsewhere, f"the page asked other hosts: {elsewhere}")
        check(any(url.endswith("/pellorin.js") for url in requests),
              f"the request log missed the page's own script: {requests}")
        logged = page.console()
        check(not logged, f"the browser logged: {logged}")
    print(f"offline from disk: {len(requests)} requests, all local; nothing logged")

    class Quiet(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass

    handler = functools.partial(Quiet, directory=web_dir)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        with Page(web_dir, url=f"http://127.0.0.1:{server.server_port}/index.html") as page:
            page.generate(count="3", seed="5")
            page.js("return new Promise(r => setTimeout(r, 500))")
            logged = page.console()
            check(not logged, f"served over HTTP the browser logged: {logged}")
            asked = [url.rsplit("/", 1)[-1] for url in page.requests() if url.startswith("http")]
            check(sorted(asked) == ["index.html", "pellorin.css", "pellorin.js"],
                  f"served over HTTP the page asked for {asked}")
    finally:
        server.shutdown()
    print(f"over HTTP: asked for {sorted(asked)} alone; nothing logged")


main()
