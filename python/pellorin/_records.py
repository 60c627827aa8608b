"""The records pellorin hands back: plain named tuples, so they compare,
unpack, print and pickle as tuples do, and ``_asdict()`` gives the fields
by the names pellorin-cli's JSON output uses."""

from typing import Dict, NamedTuple, Optional, Tuple


class Card(NamedTuple):
    """One generated card, with the extras that were asked for."""

    number: str
    #: The network's name as check and pellorin-cli's JSON show it
    #: ("Visa", "American Express"), or "Custom" for a prefix of no network.
    brand: str
    #: "MM/YY", or None unless with_expiry was asked.
    expiry: Optional[str] = None
    #: The security code, or None unless with_cvv was asked.
    cvv: Optional[str] = None


class Verdict(NamedTuple):
    """What check says of one number or line."""

    #: The digits read; empty for a line that holds no single card number.
    number: str
    valid: bool
    #: The rules broken, as pellorin-cli check names them: "luhn",
    #: "length", "prefix" or "unreadable"; empty when valid.
    reasons: Tuple[str, ...]
    #: The networks that claim the number, the most specific first.
    networks: Tuple[str, ...]
    #: Why an unreadable line could not be read; empty otherwise.
    problem: str = ""
    #: The line of the text it came from, counted from 1 (for a list of
    #: numbers, the item's place from 1).
    line: int = 0


class PrefixRange(NamedTuple):
    """Issuer prefixes first to last, issued with these lengths."""

    first: str
    last: str
    lengths: Tuple[int, ...]
    #: The ids of the other networks that claim some of these prefixes.
    shared_with: Tuple[str, ...]


class Network(NamedTuple):
    """A card network as ``pellorin-cli brands`` lists it."""

    #: What generate's brand takes: "amex".
    id: str
    #: As shown: "American Express".
    name: str
    ranges: Tuple[PrefixRange, ...]
    lengths: Tuple[int, ...]
    common_length: int
    code_length: int
    #: How each length prints: {16: "4-4-4-4"}.
    groups: Dict[int, str]
