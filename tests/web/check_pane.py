"""The "Check numbers" pane against `pellorin-cli check` on the same lines,
unreadable ones included, pasted and opened from a file (in UTF-16, as
Windows PowerShell writes one): the same verdicts, the same reports, in the
same order. The summary of an all-valid check is not drawn in the error
colour. One number typed or pasted gets a verdict at once, told politely to
screen readers."""

import os
import tempfile

from pagedriver import Page, arguments, check, cli

LINES = [
    "4539 1488 0343 6467",
    "4539-1488-0343-6468",
    "378282246310005",
    "",
    "number,brand",
    "45391488034364",
    "hello there",
    "4111 1111 1111 1111 12/29 123",
    "{\"number\":\"3530111333300000\",\"brand\":\"JCB\"}",
    "0000000000000000",
    "1" * 300,
    "6011 0009 9013 9424",
    "12 34",
    "4111111111111111;12/25",
    "378282246310005|123",
]


# typed, the verdict's state, words it holds
LIVE = [
    ("4539 1488 0343 6467", "valid", "Complete and valid: Visa"),
    ("3530111333300000", "valid", "JCB or RuPay"),
    ("4539148803", "short", "could become Visa (13, 16 or 19 digits)"),
    ("37828224631000", "short", "American Express (15 digits)"),
    ("4539148803436468", "short", "check digit is wrong at 16 digits): could become Visa (19"),
    ("0123", "impossible", "no network's numbers start like this"),
    ("4" * 20, "impossible", "more than any card has"),
    ("4539-1488-0343-6468-123", "impossible", "check digit is wrong (Visa)"),
    ("hello", "impossible", "Not a card number"),
]


def live_verdicts(page):
    check(page.js("return document.getElementById('check-live').getAttribute('aria-live')") == "polite",
          "the live verdict is not a polite live region")
    for typed, state, words in LIVE:
        page.set_fields(check_input="")
        if typed == LIVE[0][0]:
            page.keys("check-input", *typed)  # typed key by key, as a user does
        else:
            page.set_fields(check_input=typed)  # pasted
        page.wait_for(f"document.getElementById('check-live').dataset.state === '{state}'",
                      what=f"the live verdict on {typed!r} ({state})")
        shown = page.text("check-live")
        check(words in shown, f"{typed!r}: live verdict {shown!r} lacks {words!r}")
        print(f"typed {typed!r}: {shown}")


def pane(page):
    """The pane's verdict lines and its reports, as the page shows them."""
    return page.js("""
        const verdicts = [], reports = [];
        for (const node of document.getElementById('check-output').childNodes) {
            (node.nodeType === Node.ELEMENT_NODE ? reports : verdicts).push(node.textContent);
        }
        return [verdicts.join(''), reports.join('')];
    """)


def main():
    web_dir, program = arguments()[:2]
    text = "\n".join(LINES) + "\n"
    status, out, err = cli(program, "check", stdin=text.encode())
    # The page names pasted text "(pasted)" and a file by its name.
    expected_reports = "".join(line.removeprefix("pellorin-cli check: ") + "\n"
                               for line in err.splitlines()).replace("(standard input)", "(pasted)")
    with Page(web_dir) as page:
        page.set_fields(check_input=text)
        page.js("document.getElementById('check-start').click()")
        page.wait_for("document.getElementById('check-output').dataset.status !== undefined",
                      what="the check to end")
        verdicts, reports = pane(page)
        check(verdicts == out.decode(), f"pasted verdicts differ:\n{verdicts}\nagainst\n{out.decode()}")
        check(reports == expected_reports, f"reports differ:\n{reports}\nagainst\n{expected_reports}")
        summary = expected_reports.splitlines()[-1]
        check(page.text("check-status").startswith(summary), f"no summary {summary!r} in the status")
        check(page.js("return document.getElementById('check-output').dataset.status") == str(status),
              "the status differs")
        live_verdicts(page)
        page.set_fields(check_input="4539 1488 0343 6467\n378282246310005\n")
        page.js("document.getElementById('check-start').click()")
        page.wait_for("document.getElementById('check-output').dataset.status === '0'",
                      what="an all-valid check")
        colours = page.js("""const color = (e) => getComputedStyle(e).color;
            return [color(document.querySelector('#check-output .report')),
                    color(document.querySelector('.field-error'))]""")
        check(colours[0] != colours[1], f"an all-valid summary is drawn in the error colour {colours}")

        with tempfile.NamedTemporaryFile("wb", suffix=".txt", delete=False) as file:
            file.write(b"\xff\xfe" + text.encode("utf-16-le"))
        try:
            page.js("delete document.getElementById('check-output').dataset.status")
            page.driver.find_element("id", "check-file").send_keys(file.name)
            page.wait_for("document.getElementById('check-output').dataset.status !== undefined",
                          what="the file's check to end")
            named = expected_reports.replace("(pasted)", os.path.basename(file.name))
            check(pane(page) == [out.decode(), named], "a file reads otherwise than pasted text")
        finally:
            os.remove(file.name)
    print(f"{len(LINES)} lines: verdicts and reports as pellorin-cli check gives them (status {status})")


main()
