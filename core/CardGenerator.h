#pragma once

#include "Brand.h"
#include "CardNumber.h"
#include "NumberPattern.h"
#include "RandomSource.h"

namespace pellorin {

// Builds Luhn-valid numbers of one brand: a prefix from the brand's table,
// then digits 1 to 9 up to the brand's length.
class CardGenerator {
public:
    CardGenerator(const Brand& brand, RandomSource& random);

    CardNumber next() noexcept;

private:
    NumberPattern m_pattern;
    RandomSource& m_random;
};

} // namespace pellorin
