"""Every request `pellorin-cli generate` accepts for a network, with its
defaults for what is left out (each ranges choice, each length, each invalid
rule), the page accepts too and makes the same number from the same seed:
the page's defaults are the command line's."""

import json

from pagedriver import Page, arguments, check, cli

RANGES = ["", "network", "window"]
INVALID = ["", "luhn", "length", "prefix", "expiry", "month", "code"]


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


# Runs each request in the page as a user would (the fields, then
# Generate) and returns, for each, its refusal or the first number listed.
RUN_ALL = """
const [requests, done] = arguments;
const $ = (id) => document.getElementById(id);
const refusal = () => [...document.querySelectorAll('.field-error')].map(e => e.textContent).join('');
const idle = () => new Promise((resolve) => {
    const look = () => (!$('start').disabled && (refusal() !== '' || !['', 'Generating…'].includes($('status').textContent))
                        ? resolve() : setTimeout(look, 1));
    look();
});
(async () => {
    const answers = [];
    for (const fields of requests) {
        for (const [id, value] of fields) {
            $(id).value = value;
            $(id).dispatchEvent(new Event('input', {bubbles: true}));
            $(id).dispatchEvent(new Event('change', {bubbles: true}));
        }
        $('status').textContent = '';
        $('start').click();
        await idle();
        answers.push([refusal(), document.querySelector('#grid-body .number-cell').textContent]);
    }
    done(answers);
})();
"""


def main():
    web_dir, program = arguments()[:2]
    table = list(requests(program))
    check(len(table) > 100, f"only {len(table)} requests pellorin-cli accepts")
    with Page(web_dir) as page:
        page.driver.set_script_timeout(600)
        # In order, as pairs: WebDriver may hand a dict over with its keys sorted.
        asked = [[["prefix", ""], ["count", "1"], ["seed", "1"], *fields.items()]
                 for fields, _, _ in table]
        answers = page.driver.execute_async_script(RUN_ALL, asked)
    for (fields, args, number), (refused, shown) in zip(table, answers):
        check(not refused, f"pellorin-cli generate {' '.join(args)} works; the page refused "
                           f"{fields}: {refused}")
        check(shown == number, f"{' '.join(args)}: the page made {shown}, pellorin-cli {number}")
    print(f"{len(table)} requests pellorin-cli accepts: the page accepts each and makes the same number")


main()
