"""The table of seeded outputs every face passes: the same bytes from Python."""

import datetime
import hashlib

import pytest

import pellorin
from conftest import SOURCE


def rows():
    for line in (SOURCE / "tests/golden/same-bytes.tsv").read_text().splitlines():
        if line and not line.startswith("#"):
            brand, seed, options, sha256 = line.split("\t")
            yield pytest.param(brand, int(seed), options, sha256, id=f"{brand}-{seed}")


@pytest.mark.parametrize("brand, seed, options, sha256", rows())
def test_the_same_bytes(brand, seed, options, sha256):
    kwargs = {"brand": None if brand == "-" else brand, "seed": seed,
              "month": datetime.date(2026, 1, 1)}
    for option in ([] if options == "-" else options.split(" ")):
        name, _, value = option.partition("=")
        kwargs[name] = (int(value) if name in ("count", "length") else value) if value else True
    assert hashlib.sha256(pellorin.generate_text(**kwargs).encode()).hexdigest() == sha256
    # The list holds the same numbers as the text's lines, where they hold
    # nothing else (a rule of the extras writes them unasked).
    if (set(kwargs) & {"format", "null", "with_expiry", "with_cvv"} == set()
            and kwargs.get("invalid") not in ("expiry", "month", "code")):
        assert "".join(n + "\n" for n in pellorin.generate(**kwargs)) == pellorin.generate_text(**kwargs)
