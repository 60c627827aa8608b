import datetime
from typing import Iterable, Iterator, List, Literal, Optional, Union, overload

from pellorin._records import Card, Network, Verdict

__version__: str

Brand = str  # a network id of networks(): "visa", "amex", "mir", ...
Ranges = Literal["window", "network"]
InvalidRule = Literal["luhn", "length", "prefix"]
Format = Literal["text", "csv", "json", "ndjson", "table"]

@overload
def generate(
    brand: Optional[Brand] = None,
    count: int = 10,
    seed: Optional[int] = None,
    *,
    ranges: Optional[Ranges] = None,
    prefix: Optional[str] = None,
    length: Optional[int] = None,
    invalid: Optional[InvalidRule] = None,
    group: bool = False,
    separator: Optional[str] = None,
    unique: bool = False,
    with_expiry: Literal[False] = False,
    with_cvv: Literal[False] = False,
    month: Optional[datetime.date] = None,
) -> List[str]: ...
@overload
def generate(
    brand: Optional[Brand] = None,
    count: int = 10,
    seed: Optional[int] = None,
    *,
    ranges: Optional[Ranges] = None,
    prefix: Optional[str] = None,
    length: Optional[int] = None,
    invalid: Optional[InvalidRule] = None,
    group: bool = False,
    separator: Optional[str] = None,
    unique: bool = False,
    with_expiry: Literal[True],
    with_cvv: bool = False,
    month: Optional[datetime.date] = None,
) -> List[Card]: ...
@overload
def generate(
    brand: Optional[Brand] = None,
    count: int = 10,
    seed: Optional[int] = None,
    *,
    ranges: Optional[Ranges] = None,
    prefix: Optional[str] = None,
    length: Optional[int] = None,
    invalid: Optional[InvalidRule] = None,
    group: bool = False,
    separator: Optional[str] = None,
    unique: bool = False,
    with_expiry: bool = False,
    with_cvv: Literal[True],
    month: Optional[datetime.date] = None,
) -> List[Card]: ...
def generate_text(
    brand: Optional[Brand] = None,
    count: int = 10,
    seed: Optional[int] = None,
    *,
    ranges: Optional[Ranges] = None,
    prefix: Optional[str] = None,
    length: Optional[int] = None,
    invalid: Optional[InvalidRule] = None,
    group: bool = False,
    separator: Optional[str] = None,
    unique: bool = False,
    with_expiry: bool = False,
    with_cvv: bool = False,
    month: Optional[datetime.date] = None,
    format: Optional[Format] = None,
    null: bool = False,
    no_header: bool = False,
) -> str: ...

class Verdicts:
    """What check said: a sequence of Verdict records, one per number or line."""

    @property
    def valid(self) -> bool: ...
    @property
    def invalid_count(self) -> int: ...
    def __len__(self) -> int: ...
    @overload
    def __getitem__(self, index: int) -> Verdict: ...
    @overload
    def __getitem__(self, index: slice) -> List[Verdict]: ...
    def __iter__(self) -> Iterator[Verdict]: ...

def check(
    numbers: Union[str, Iterable[str]], *, allow_unknown: bool = False, null: bool = False
) -> Verdicts: ...
def networks() -> List[Network]: ...
