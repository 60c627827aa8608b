"""Every request `pellorin-cli generate` accepts for a network, with its
defaults for what is left out (each ranges choice, each length, each invalid
rule), the page accepts too and makes the same number from the same seed:
the page's defaults are the command line's."""

import json

from pagedriver import Page, arguments, check, cli

RANGES = ["", "network", "window"]
INVALID = ["", "luhn", "length", "prefix"]


def requests(program):
    """(page fields, pellorin-cli arguments) for every request it accepts."""
    _, listing, _ = cli(program, "brands", "--format", "json")
    for network in json.loads(listing):
        for ranges in RANGES:
            for invalid in INVALID:
                # The page asks no length of a wrong length: the rule picks it.
                for length in [""] + ([] if invalid == "length" else [str(n) for n in range(12, 20)]):
                    args = ["--brand", network["id"]]
                    for option, value in (("--ranges", ranges), ("--invalid", invalid),
                                          ("--length", length)):
                        args += [option, value] if value else []
                    status, out, _ = cli(program, "generate", "--count", "1", "--seed", "1", *args)
                    if status == 0:
                        fields = dict(network=network["id"], ranges=ranges, invalid=invalid)
                        if length:
                            fields["length"] = length
                        yield fields, args, out.decode().strip()


def main():
    web_dir, program = arguments()[:2]
    tried = 0
    with Page(web_dir) as page:
        for fields, args, number in requests(program):
            status, refused = page.try_generate(prefix="", count="1", seed="1", **fields)
            check(not refused, f"pellorin-cli generate {' '.join(args)} works; the page refused "
                               f"{fields}: {refused}")
            shown = page.js("return document.querySelector('#grid-body .number-cell').textContent")
            check(shown == number, f"{' '.join(args)}: the page made {shown}, pellorin-cli {number}")
            tried += 1
    check(tried > 100, f"only {tried} requests tried")
    print(f"{tried} requests pellorin-cli accepts: the page accepts each and makes the same number")


main()
