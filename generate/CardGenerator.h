#pragma once

#include "generate/Brand.h"
#include "generate/RandomSource.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace pellorin {

inline constexpr int kMaxCardLength = 19;

struct CardNumber {
    std::array<char, kMaxCardLength> digits{};
    std::uint8_t length = 0;

    std::string_view text() const noexcept { return {digits.data(), length}; }
};

// Builds Luhn-valid numbers of one brand: a prefix from the brand's table,
// then digits 1 to 9 up to the brand's length.
class CardGenerator {
public:
    CardGenerator(const Brand& brand, RandomSource& random) noexcept;

    CardNumber next() noexcept;

private:
    const Brand& m_brand;
    RandomSource& m_random;
};

} // namespace pellorin
