#!/usr/bin/python3
"""pellorin's Python module beside Python Faker and python-stdnum, in one run:
a million Visa numbers into a list against Faker's credit_card_number
(timed on fewer and scaled: Faker makes some tens of thousands a second),
and check of a million numbers against a loop of stdnum's luhn.is_valid.

Usage: python-bench.py PACKAGE-DIR   (build/python, as `make python` lays it out)
"""

import sys
import time

sys.path.insert(0, sys.argv[1])

import pellorin  # noqa: E402
from faker import Faker  # noqa: E402
from stdnum import luhn  # noqa: E402

COUNT = 1_000_000
FAKER_COUNT = 20_000


def best_of(runs, work):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        work()
        times.append(time.perf_counter() - start)
    return min(times)


fake = Faker()
fake.seed(1) if not hasattr(fake, "seed_instance") else fake.seed_instance(1)
faker_generate = best_of(1, lambda: [fake.credit_card_number(card_type="visa16")
                                     for _ in range(FAKER_COUNT)]) * COUNT / FAKER_COUNT
ours_generate = best_of(3, lambda: pellorin.generate("visa", COUNT, 1))
numbers = pellorin.generate("visa", COUNT, 1)
stdnum_check = best_of(1, lambda: [luhn.is_valid(number) for number in numbers])
ours_check = best_of(3, lambda: pellorin.check(numbers))

print(f"Python {sys.version.split()[0]}, pellorin {pellorin.__version__}, "
      f"Faker {getattr(__import__('faker'), 'VERSION', '?')}")
for what, theirs, name, ours, target in (
        (f"{COUNT:,} Visa numbers into a list", faker_generate,
         f"Faker credit_card_number (x{COUNT // FAKER_COUNT} of {FAKER_COUNT:,})", ours_generate, 100),
        (f"check {COUNT:,} numbers", stdnum_check, "stdnum luhn.is_valid loop", ours_check, 50)):
    ratio = theirs / ours
    print(f"{what}: pellorin {ours:.3f} s, {name} {theirs:.2f} s: {ratio:.0f}x "
          f"({'at least' if ratio >= target else 'BELOW'} the {target}x aimed at)")
