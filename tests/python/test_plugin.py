"""The pytest plugin as a user's suite meets it: the fixture, the seed in a
failure's report and --pellorin-seed to get the same numbers back."""

import re

import pellorin

SUITE = """
def test_one(pellorin_cards):
    print("numbers", pellorin_cards.number(brand="amex"), pellorin_cards.numbers(2),
          tuple(pellorin_cards.card(brand="mir")))
    assert False

def test_two(pellorin_cards):
    print("numbers", pellorin_cards.numbers(3, brand="visa", invalid="length"))
    assert False

def test_without_cards():
    assert False
"""


def numbers(result):
    return re.findall(r"^numbers .*", result.stdout.str(), re.M)


def test_a_failure_gives_the_seed_that_makes_the_same_numbers(pytester):
    pytester.makepyfile(SUITE)
    first = pytester.runpytest_subprocess()
    first.assert_outcomes(failed=3)
    seeds = set(re.findall(r"card numbers from --pellorin-seed=(\d+)", first.stdout.str()))
    # Said once per test that took cards, and in the header.
    assert len(re.findall(r"card numbers from --pellorin-seed=", first.stdout.str())) == 2
    assert len(seeds) == 1
    seed = seeds.pop()
    first.stdout.fnmatch_lines([f"pellorin: --pellorin-seed={seed}"])

    again = pytester.runpytest_subprocess(f"--pellorin-seed={seed}")
    assert numbers(again) == numbers(first) and len(numbers(first)) == 2
    alone = pytester.runpytest_subprocess(f"--pellorin-seed={seed}", "-k", "test_two")
    assert numbers(alone) == numbers(first)[1:]
    other = pytester.runpytest_subprocess(f"--pellorin-seed={int(seed) + 1}")
    assert numbers(other) != numbers(first)


def test_the_numbers_are_what_was_asked(pytester):
    pytester.makepyfile("""
        import pellorin

        def test_cards(pellorin_cards):
            assert pellorin.check(pellorin_cards.numbers(5, brand="mir")).valid
            assert pellorin.check(pellorin_cards.number(invalid="luhn"))[0].reasons == ("luhn",)
            assert pellorin_cards.card(brand="amex").brand == "American Express"
            assert pellorin_cards.number() != pellorin_cards.number()
    """)
    pytester.runpytest_subprocess().assert_outcomes(passed=1)
