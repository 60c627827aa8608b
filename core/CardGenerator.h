#pragma once

#include "Brand.h"
#include "CardNumber.h"
#include "NumberPattern.h"
#include "RandomSource.h"

namespace pellorin {

// Builds Luhn-valid numbers of one pattern from a caller's random source,
// re-seeded before every attempt, so a seeded source and timer give the same
// numbers again.
class CardGenerator {
public:
    // The window's numbers of `brand`: a prefix from the brand's table, then
    // digits 1 to 9 up to the brand's length.
    CardGenerator(const Brand& brand, RandomSource& random);
    CardGenerator(NumberPattern pattern, RandomSource& random);

    CardNumber next() noexcept;

    // The same, written at `out` (which may be overwritten up to
    // kCardNumberRoom bytes on); returns the number's length.
    int write(char* out) noexcept;

    // The same for a pattern and source held elsewhere, inline so that a
    // caller with its own loop pays no second call per number.
    static int write(const NumberPattern& pattern, RandomSource& random, char* out) noexcept
    {
        for (;;) {
            random.reseed();
            if (pattern.write(random.next(), out) != NumberPattern::kNone)
                return pattern.length();
        }
    }

private:
    NumberPattern m_pattern;
    RandomSource& m_random;
};

} // namespace pellorin
