"""The page's downloads against `pellorin-cli generate` with the same seed and
options: one table of networks, formats, extras, grouping, invalid rules and
seeds, compared by hash; some rows unticked first, which leaves exactly
their records out. In Chromium, or with a last argument `firefox` in
Firefox ESR."""

import hashlib

from pagedriver import FirefoxPage, Page, arguments, check, cli

# name, page fields, download, rows to untick (indexes; -1 the last)
CASES = [
    ("visa_csv_extras_grouped", dict(network="visa", count="12", seed="1", with_expiry=True,
                                     with_cvv=True, group=True), "csv", []),
    ("visa_table_three_blocks", dict(network="visa", count="40000", seed="7"), "table", []),
    ("amex_table_cvv_dashes", dict(network="amex", count="25", seed="42", with_cvv=True,
                                   group=True, separator="-"), "table", []),
    ("mastercard_json_network_ranges", dict(network="mastercard", ranges="network",
                                            count="30", seed="5"), "json", []),
    ("discover_ndjson_19_luhn", dict(network="discover", ranges="network", length="19",
                                     count="20", seed="9", invalid="luhn"), "ndjson", []),
    ("jcb_csv_15_expiry", dict(network="jcb", length="15", count="20", seed="3",
                               with_expiry=True), "csv", []),
    ("maestro_json_length_rule", dict(network="maestro", count="20", seed="11",
                                      invalid="length"), "json", []),
    ("troy_table_prefix_rule", dict(network="troy", count="20", seed="13", invalid="prefix"),
     "table", []),
    ("uatp_ndjson_grouped_unique", dict(network="uatp", count="500", seed="17", group=True,
                                        unique=True), "ndjson", []),
    ("elo_json_extras", dict(network="elo", count="20", seed="19", with_expiry=True,
                             with_cvv=True), "json", []),
    ("verve_csv_unticked", dict(network="verve", length="18", count="20000", seed="23",
                                with_cvv=True), "csv", [0, 2, -1]),
    ("diners_json_unticked", dict(network="diners", length="14", count="30", seed="29"),
     "json", [1, 3]),
    ("rupay_table_unticked", dict(network="rupay", count="30", seed="31", group=True),
     "table", [0, 1, -1]),
    ("dankort_ndjson_unticked", dict(network="dankort", count="30", seed="37"), "ndjson", [4]),
    ("visa_13_numbers_only", dict(network="visa", length="13", count="40", seed="41"), "text", []),
    ("own_prefix_text_unticked", dict(prefix="541234", length="18", count="25", seed="43",
                                      with_cvv=True), "text", [0, -1]),
    ("mir_tsv_extras_unticked", dict(network="mir", count="30", seed="53", with_expiry=True,
                                     with_cvv=True), "tsv", [2]),
    ("visa_table_invalid_expiry", dict(network="visa", count="20", seed="59", invalid="expiry"),
     "table", []),
    ("amex_tsv_invalid_code", dict(network="amex", count="20", seed="61", invalid="code"),
     "tsv", []),
    ("own_prefix_csv_expiry", dict(prefix="9", length="12", count="25", seed="47",
                                   with_expiry=True), "csv", []),
]

BUTTONS = {"text": "download-numbers", "tsv": "download-tsv", "table": "download-text", "csv": "download-csv", "json": "download-json",
           "ndjson": "download-ndjson"}


def cli_arguments(fields, output_format):
    args = ["generate", "--count", fields["count"], "--seed", fields["seed"],
            "--format", output_format]
    for name in ("network", "prefix", "length", "ranges", "invalid", "separator"):
        if name in fields:
            args += ["--brand" if name == "network" else f"--{name}", fields[name]]
    for name in ("with_expiry", "with_cvv", "group", "unique"):
        if fields.get(name):
            args.append("--" + name.replace("_", "-"))
    return args


def without_rows(output_format, data, rows):
    """The command line's output with the records of `rows` left out."""
    if output_format == "json":
        lines = data.decode().split("\n")
        records = [line.rstrip(",") for line in lines[1:-2]]
        kept = [r for i, r in enumerate(records) if i not in rows(len(records))]
        return ("[\n" + ",\n".join(kept) + "\n]\n").encode()
    end = b"\r\n" if output_format in ("csv", "table") else b"\n"
    if output_format == "text":
        lines = data.split(end)[:-1]
        return b"".join(r + end for i, r in enumerate(lines) if i not in rows(len(lines)))
    lines = data.split(end)
    head = 1 if output_format in ("csv", "table", "tsv") else 0
    tail = 2 if output_format == "table" else 1
    records = lines[head:len(lines) - tail]
    unticked = rows(len(records))
    kept = [r for i, r in enumerate(records) if i not in unticked]
    return end.join(lines[:head] + kept + lines[len(lines) - tail:])


def untick(page, indexes, count):
    """Unticks rows with the grid's keys, as a keyboard user would."""
    for index in sorted(i % count for i in indexes):
        moves = index if index < count // 2 else count - 1 - index
        key = "ArrowDown" if index < count // 2 else "ArrowUp"
        page.keys("grid", "Home" if index < count // 2 else "End", *([key] * moves), " ")


def main():
    args = arguments()
    web_dir, program = args[:2]
    firefox = args[-1] == "firefox"
    with (FirefoxPage(web_dir, args[2]) if firefox else Page(web_dir)) as page:
        for name, fields, output_format, unticked in CASES:
            page.set_fields(unique=False, group=False, with_expiry=False, with_cvv=False,
                            invalid="", separator=" ", seed="", prefix="", ranges="")
            epoch = int(page.js("return Date.now()") / 1000)
            page.generate(**fields)
            count = int(fields["count"])
            if unticked:
                untick(page, unticked, count)
            got = page.download(BUTTONS[output_format])
            status, expected, errors = cli(program, *cli_arguments(fields, output_format),
                                           env={"SOURCE_DATE_EPOCH": str(epoch)})
            check(status == 0, f"{name}: pellorin-cli failed: {errors}")
            if unticked:
                expected = without_rows(output_format, expected,
                                        lambda n: {i % n for i in unticked})
            same = hashlib.sha256(got).digest() == hashlib.sha256(expected).digest()
            check(same, f"{name}: the page's {output_format} differs from pellorin-cli's "
                        f"({len(got)} against {len(expected)} bytes; page begins {got[:120]!r}, "
                        f"pellorin-cli {expected[:120]!r})")
            print(f"{name}: {len(got)} bytes, the same{' in Firefox' if firefox else ''}")


main()
