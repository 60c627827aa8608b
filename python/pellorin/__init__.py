"""Well-formed test payment-card numbers for test suites.

The same engine as pellorin-cli, with the same bytes for the same seed::

    >>> import pellorin
    >>> pellorin.generate(brand="amex", count=3, seed=42)
    ['372861452359149', '372034679666973', '372034699295522']
    >>> pellorin.check("4539 1488 0343 6468")[0].reasons
    ('luhn',)

``generate`` makes numbers (or ``Card`` records when extras are asked),
``generate_text`` the bytes ``pellorin-cli generate`` writes, ``check``
judges numbers into ``Verdict`` records and ``networks`` lists the card
networks. A value the command line would refuse raises ValueError with
the command line's words. ``pellorin.faker`` has a Faker provider; the
pytest plugin (``pellorin.pytest_plugin``) hands tests seeded numbers.
"""

from collections.abc import Sequence as _Sequence

from pellorin._pellorin import Verdicts, __version__, check, generate, generate_text, networks
from pellorin._records import Card, Network, PrefixRange, Verdict

_Sequence.register(Verdicts)

__all__ = [
    "Card",
    "Network",
    "PrefixRange",
    "Verdict",
    "Verdicts",
    "__version__",
    "check",
    "generate",
    "generate_text",
    "networks",
]
