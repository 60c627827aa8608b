"""Bad input gets a message beside its field, the field is marked invalid,
and nothing else happens: the list and the status stay as they were."""

from pagedriver import Page, arguments, check

# field, text, words the message must hold
CASES = [
    ("count", "0", "Quantity: expected a whole number from 1 to 10000000, got '0'"),
    ("count", "-1", "Quantity: expected a whole number from 1 to 10000000, got '-1'"),
    ("count", "ten", "from 1 to 10000000, got 'ten'"),
    ("count", "", "from 1 to 10000000, got ''"),
    ("count", "10000001", "got '10000001'"),
    ("seed", "x1", "Seed: expected a whole number from 0 to 18446744073709551615, got 'x1'"),
    ("seed", "-5", "Seed: expected a whole number from 0 to 18446744073709551615, got '-5'"),
]


def main():
    web_dir = arguments()[0]
    with Page(web_dir) as page:
        status = page.generate(count="7", seed="3")
        shown = page.js("return document.getElementById('grid-body').textContent")
        for field, text, words in CASES:
            page.set_fields(count="7", seed="3")
            page.set_fields(**{field: text})
            page.js("document.getElementById('start').click()")
            page.wait_for(f"document.getElementById('{field}-error').textContent !== ''",
                          what=f"the message for {field} {text!r}")
            message = page.text(f"{field}-error")
            check(words in message, f"{field} {text!r}: message {message!r} lacks {words!r}")
            check(page.js(f"return document.getElementById('{field}').getAttribute('aria-invalid')") == "true",
                  f"{field} {text!r} not marked invalid")
            check(page.js("return document.activeElement.id") == field, f"{field} {text!r}: focus elsewhere")
            check(page.text("status") == status, f"{field} {text!r}: the status changed to {page.text('status')!r}")
            check(page.js("return document.getElementById('grid-body').textContent") == shown,
                  f"{field} {text!r}: the list changed")
            print(f"{field} {text!r}: {message}")


main()
