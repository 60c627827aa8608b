"""The module against pellorin-cli: the same refusals, verdicts and networks,
keywords named as its options, stubs that match."""

import ast
import datetime
import inspect
import json
import re

import pytest

import pellorin
from conftest import SOURCE

JANUARY_2026 = datetime.date(2026, 1, 1)


@pytest.mark.parametrize("options, args", [
    ({"brand": "foo"}, ["--brand", "foo"]),
    ({"count": -1}, ["--count", "-1"]),
    ({"count": 2**63}, ["--count", str(2**63)]),
    ({"seed": -1}, ["--seed", "-1"]),
    ({"seed": 2**64}, ["--seed", str(2**64)]),
    ({"brand": "visa", "prefix": "4"}, ["--brand", "visa", "--prefix", "4"]),
    ({"brand": "amex", "length": 16}, ["--brand", "amex", "--length", "16"]),
    ({"prefix": "4x", "length": 16}, ["--prefix", "4x", "--length", "16"]),
    ({"invalid": "sum"}, ["--invalid", "sum"]),
    ({"ranges": "all"}, ["--ranges", "all"]),
    ({"separator": "ab"}, ["--separator", "ab"]),
])
def test_refusals_are_the_command_lines_words(cli, options, args):
    ran = cli("generate", *args)
    if ran.returncode == 0:
        assert pellorin.generate_text(**options).encode() == ran.stdout.encode()
        return
    words = re.match(r"pellorin-cli: error: (.*)", ran.stderr).group(1)
    with pytest.raises(ValueError) as refused:
        pellorin.generate(**options)
    assert str(refused.value) == words


def test_cards_are_the_csv_records(cli):
    options = {"brand": "amex", "count": 50, "seed": 3, "with_expiry": True, "with_cvv": True}
    cards = pellorin.generate(**options, month=JANUARY_2026)
    rows = cli("generate", "--brand", "amex", "--count", "50", "--seed", "3", "--with-expiry",
               "--with-cvv", "--format", "csv", "--no-header").stdout.splitlines()
    assert [",".join(card) for card in cards] == rows
    only_cvv = pellorin.generate(brand="amex", count=1, seed=3, with_cvv=True)[0]
    assert only_cvv == (cards[0].number, "American Express", None, cards[0].cvv)


def test_numbers_are_the_text_lines_also_grouped():
    options = {"brand": "diners", "count": 3000, "seed": 5, "group": True, "separator": "-"}
    assert pellorin.generate(**options) == pellorin.generate_text(**options).splitlines()


LINES = [
    "4539148803436467", "4539 1488 0343 6468", "45391488034364", "9999999999999999",
    "3530-1113-3330-0000", "378282246310005,01/30,1234", "hello", "12345",
    '{"number":"4722331317561312","brand":"Visa","expiry":"13/29","cvv":"870"}',
]


@pytest.mark.parametrize("allow_unknown", [False, True])
def test_check_says_what_the_command_line_says(cli, allow_unknown):
    extra = ["--allow-unknown"] if allow_unknown else []
    expected = [json.loads(line) for line in
                cli("check", "--format", "ndjson", *extra, input="\n".join(LINES)).stdout.splitlines()]
    verdicts = pellorin.check("\n".join(LINES), allow_unknown=allow_unknown)
    assert [(v.line, v.number, v.valid, v.reasons, v.networks, v.problem) for v in verdicts] == [
        (e["line"], e.get("number", ""), e["valid"], (e["reason"],) if "reason" in e else (),
         tuple(e.get("networks", ())), e.get("problem", "")) for e in expected]
    assert verdicts.invalid_count == sum(not e["valid"] for e in expected)
    # An item each, in order, whatever it holds: the same verdicts.
    items = pellorin.check(LINES, allow_unknown=allow_unknown)
    assert [v[:4] for v in items[::-1]] == [v[:4] for v in verdicts[::-1]]


def test_check_takes_only_text():
    with pytest.raises(TypeError, match="got an item of type int"):
        pellorin.check(["4539148803436467", 4539148803436467])
    with pytest.raises(TypeError, match="not bytes"):
        pellorin.check(b"4539148803436467")
    assert not pellorin.check([]).valid
    assert pellorin.check(iter(["4539148803436467"])).valid


def test_networks_are_the_brands_listing(cli):
    listing = json.loads(cli("brands", "--format", "json").stdout)
    assert [n._asdict() for n in pellorin.networks()] == [{
        "id": b["id"], "name": b["name"], "lengths": tuple(b["lengths"]),
        "common_length": b["commonLength"], "code_length": b["codeLength"],
        "groups": {int(length): g for length, g in b["groups"].items()},
        "ranges": tuple((r["first"], r["last"], tuple(r["lengths"]), tuple(r["sharedWith"]))
                        for r in b["ranges"]),
    } for b in listing]


def test_keywords_are_the_options_and_the_stubs_say_them(cli):
    options = set(re.findall(r"--([a-z-]+)", cli("generate", "--help").stdout))
    # A list has no file, thread count or help; the month is the library's.
    wanted = {o.replace("-", "_") for o in options} - {"output", "threads", "help"}
    stubs = ast.parse((SOURCE / "python/pellorin/_pellorin.pyi").read_text())
    stubbed = {f.name: [a.arg for a in f.args.args + f.args.kwonlyargs]
               for f in stubs.body if isinstance(f, ast.FunctionDef)}
    runtime = {name: re.findall(r"(\w+): ", getattr(pellorin, name).__doc__.splitlines()[0])
               for name in ("generate", "generate_text", "check")}
    assert set(runtime["generate_text"]) == wanted | {"month"}
    assert runtime == {name: stubbed[name] for name in runtime}
    assert "Make card numbers" in pellorin.generate.__doc__


def test_a_long_list_keeps_its_order_and_its_odd_items():
    # Long enough to be judged in stretches on several threads.
    numbers = pellorin.generate("mastercard", 300_000, seed=9)
    odd = {0: "4539 1488 0343 6468", 150_000: "hello", 150_001: "9999999999999999",
           299_999: "378282246310005"}
    for at, line in odd.items():
        numbers[at] = line
    verdicts = pellorin.check(numbers)
    assert len(verdicts) == len(numbers) and verdicts.invalid_count == 3
    for at in (*odd, 1, 149_999, 299_998):
        assert verdicts[at][:4] == pellorin.check([numbers[at]])[0][:4]
        assert verdicts[at].line == at + 1


def test_a_list_beyond_memory_fails_before_any_work():
    with pytest.raises(MemoryError):
        pellorin.generate(count=2**62)
