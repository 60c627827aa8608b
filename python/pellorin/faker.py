"""pellorin's numbers through Faker::

    from faker import Faker
    from pellorin.faker import PellorinProvider

    fake = Faker()
    fake.add_provider(PellorinProvider)
    fake.pellorin_card_number(brand="mir", invalid="luhn")
    fake.pellorin_card(brand="amex")   # Card(number, brand, expiry, cvv)

Every call draws its seed from the Faker instance's own random generator,
so seeding Faker (``fake.seed(n)`` on old Fakers, ``Faker.seed(n)`` or
``fake.seed_instance(n)`` on newer ones) makes the same numbers again.
"""

from typing import Any, List, Optional

from faker.providers import BaseProvider

import pellorin
from pellorin._records import Card


class PellorinProvider(BaseProvider):
    """Card numbers of every network pellorin knows, valid or invalid on
    purpose. The keywords are those of :func:`pellorin.generate`."""

    def _seed(self) -> int:
        return self.generator.random.getrandbits(64)

    def pellorin_card_number(
        self, brand: Optional[str] = None, invalid: Optional[str] = None, **options: Any
    ) -> str:
        """One card number: ``brand`` a network id of pellorin.networks()
        (default visa), ``invalid`` "luhn", "length" or "prefix" to break
        that rule."""
        return pellorin.generate(brand, 1, self._seed(), invalid=invalid, **options)[0]

    def pellorin_card_numbers(
        self, count: int = 10, brand: Optional[str] = None, **options: Any
    ) -> List[str]:
        """``count`` card numbers at once, far faster than one by one."""
        return pellorin.generate(brand, count, self._seed(), **options)

    def pellorin_card(self, brand: Optional[str] = None, **options: Any) -> Card:
        """A whole card: number, network name, expiry date (MM/YY) and
        security code of the network's length."""
        return pellorin.generate(
            brand, 1, self._seed(), with_expiry=True, with_cvv=True, **options
        )[0]
