"""Bad input gets a message beside its field, the field is marked invalid,
and nothing else happens: the list and the status stay as they were. A
prefix of one's own is refused as pellorin-cli refuses it, in the page's
names for the options."""

from pagedriver import Page, arguments, check, cli

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

# page fields, the field whose message it is, pellorin-cli's arguments
PREFIX_CASES = [
    (dict(prefix="12a", length="16"), "prefix", ["--prefix", "12a", "--length", "16"]),
    (dict(prefix="1234567890123456", length="16"), "prefix",
     ["--prefix", "1234567890123456", "--length", "16"]),
    (dict(prefix="4", length="16", invalid="prefix"), "invalid",
     ["--prefix", "4", "--length", "16", "--invalid", "prefix"]),
    (dict(prefix="41111111111", length="13", count="100", unique=True), "unique",
     ["--prefix", "41111111111", "--length", "13", "--count", "100", "--unique"]),
]
PAGE_NAMES = {"--prefix": "Prefix", "--length": "Length", "--invalid": "Invalid on purpose",
              "--unique": "No repeats", "--count": "Quantity"}


def cli_refusal(program, args):
    status, _, errors = cli(program, "generate", *args)
    check(status != 0, f"pellorin-cli accepts {args}")
    message = errors.splitlines()[0].removeprefix("pellorin-cli: error: ")
    for option, name in PAGE_NAMES.items():
        message = message.replace(option, name)
    return message


def main():
    web_dir, program = arguments()[:2]
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
        for fields, field, args in PREFIX_CASES:
            page.set_fields(invalid="", unique=False, count="7", prefix="", seed="3")
            _, refused = page.try_generate(**fields)
            expected = cli_refusal(program, args)
            check(page.text(f"{field}-error") == expected,
                  f"{fields}: beside {field} {page.text(field + '-error')!r}, pellorin-cli says "
                  f"{expected!r} (all messages: {refused!r})")
            check(page.js("return document.getElementById('grid-body').textContent") == shown,
                  f"{fields}: the list changed")
            print(f"{fields}: {expected}")
        # The desktop program's prefixes are "classic" on the page, in its messages too.
        page.set_fields(prefix="", count="7", invalid="", unique=False)
        _, refused = page.try_generate(network="visa", ranges="window", length="13")
        check(refused.startswith('Ranges "classic prefixes only": the classic Visa numbers have 16')
              and "window" not in refused, f"classic prefixes at 13 digits: {refused!r}")
        print(f"classic prefixes at 13 digits: {refused}")


main()
