#pragma once

#include <cstdint>

namespace pellorin {

// base^exponent for the small powers of 9 and 10 that count digits;
// exponent 0 gives 1.
constexpr std::uint64_t power(std::uint64_t base, int exponent) noexcept
{
    std::uint64_t result = 1;
    for (int i = 0; i < exponent; ++i)
        result *= base;
    return result;
}

} // namespace pellorin
