"""The Faker provider with the Faker installed (Debian's 0.9.3 seeds an
instance with fake.seed; newer ones with Faker.seed or seed_instance)."""

import pytest

faker = pytest.importorskip("faker", reason="Faker (python3-fake-factory) is not installed")

import pellorin
from pellorin.faker import PellorinProvider


def seeded(seed):
    fake = faker.Faker()
    fake.add_provider(PellorinProvider)
    if hasattr(fake, "seed_instance"):
        fake.seed_instance(seed)
    else:
        fake.seed(seed)
    return fake


def draws(fake):
    return [fake.pellorin_card_number(brand="mir", invalid="luhn"), fake.pellorin_card(brand="amex"),
            fake.pellorin_card_numbers(3, brand="jcb", length=19), fake.pellorin_card_number()]


def test_a_seed_makes_the_same_cards_again_and_another_seed_others():
    assert draws(seeded(7)) == draws(seeded(7))
    assert draws(seeded(7)) != draws(seeded(8))


def test_the_cards_are_what_was_asked():
    mir, amex, jcbs, visa = draws(seeded(1))
    verdicts = pellorin.check([mir, amex.number, *jcbs, visa])
    assert [(v.valid, v.reasons, v.networks[0]) for v in verdicts] == [
        (False, ("luhn",), "Mir"), (True, (), "American Express"),
        *[(True, (), "JCB")] * 3, (True, (), "Visa")]
    assert amex.brand == "American Express" and len(amex.cvv) == 4
    assert len(jcbs[0]) == 19
    assert amex.expiry[2] == "/" and 1 <= int(amex.expiry[:2]) <= 12
