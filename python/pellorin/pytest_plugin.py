"""pytest plugin: the ``pellorin_cards`` fixture hands a test seeded card
numbers; a failing test's report says the seed, and ``--pellorin-seed``
gives it back::

    def test_payment_form(pellorin_cards):
        number = pellorin_cards.number(brand="amex")
        assert submit(number).accepted

A run picks one seed (shown in the report's header) unless given one; each
test's numbers depend only on that seed and the test's id, so a test makes
the same numbers whether it runs alone or among others.
"""

# The annotations name pytest's types of pytest 7; older ones run it too.
from __future__ import annotations

import hashlib
import random
import secrets
from typing import Any, List, Optional

import pytest

import pellorin
from pellorin._records import Card

def pytest_addoption(parser: pytest.Parser) -> None:
    parser.getgroup("pellorin").addoption(
        "--pellorin-seed",
        type=int,
        default=None,
        metavar="SEED",
        help="seed of the card numbers the pellorin_cards fixture hands out "
        "(default: a new one each run, shown in the header)",
    )


def _run_seed(config: pytest.Config) -> int:
    if not hasattr(config, "_pellorin_seed"):
        given = config.getoption("pellorin_seed")
        config._pellorin_seed = secrets.randbits(63) if given is None else given
    return config._pellorin_seed


def pytest_report_header(config: pytest.Config) -> str:
    return f"pellorin: --pellorin-seed={_run_seed(config)}"


class Cards:
    """Card numbers for one test, from its seed; every call gives new ones."""

    def __init__(self, seed: int) -> None:
        self.seed = seed
        self._draws = random.Random(seed)

    def _next(self) -> int:
        return self._draws.getrandbits(64)

    def number(self, brand: Optional[str] = None, **options: Any) -> str:
        """One card number; keywords as :func:`pellorin.generate`'s."""
        return pellorin.generate(brand, 1, self._next(), **options)[0]

    def numbers(self, count: int = 10, brand: Optional[str] = None, **options: Any) -> List[str]:
        """``count`` card numbers."""
        return pellorin.generate(brand, count, self._next(), **options)

    def card(self, brand: Optional[str] = None, **options: Any) -> Card:
        """A whole card: number, network name, expiry date and code."""
        return pellorin.generate(
            brand, 1, self._next(), with_expiry=True, with_cvv=True, **options
        )[0]


@pytest.fixture
def pellorin_cards(request: pytest.FixtureRequest) -> Cards:
    """Seeded card numbers for this test (see ``--pellorin-seed``)."""
    run_seed = _run_seed(request.config)
    digest = hashlib.blake2b(f"{run_seed}:{request.node.nodeid}".encode(), digest_size=8)
    request.node._pellorin_run_seed = run_seed
    return Cards(int.from_bytes(digest.digest(), "little"))


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item: pytest.Item, call: pytest.CallInfo) -> Any:
    outcome = yield
    report = outcome.get_result()
    run_seed = getattr(item, "_pellorin_run_seed", None)
    if report.failed and run_seed is not None:
        report.sections.append(
            ("pellorin", f"card numbers from --pellorin-seed={run_seed}; "
             f"run again with it to get the same numbers")
        )
