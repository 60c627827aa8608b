#pragma once

#include "WideProduct.h"

#include <cstdint>
#include <optional>

namespace pellorin {

// Uniform values below n from uniform 64-bit draws r: floor(n × r / 2^64),
// the high half of the product. A draw whose low half falls below 2^64 mod n
// is refused (Lemire's bound), which leaves every value exactly equally
// likely; at most one draw in 2^64 / n is.
class BoundedDraw {
public:
    constexpr explicit BoundedDraw(std::uint64_t n = 0) noexcept
        : m_count(n)
        , m_refuseBelow(n == 0 ? 0 : (std::uint64_t { 0 } - n) % n)
    {
    }

    constexpr std::uint64_t count() const noexcept { return m_count; }

    // floor(n × r), whether the draw is refused or not.
    constexpr std::uint64_t valueOf(std::uint64_t draw) const noexcept
    {
        return multiplyWide(draw, m_count).high;
    }

    // Whether a draw whose product with n has this low half is refused.
    constexpr bool refuses(std::uint64_t low) const noexcept { return low < m_refuseBelow; }

    // The value of `draw`, or none when the draw is refused.
    constexpr std::optional<std::uint64_t> take(std::uint64_t draw) const noexcept
    {
        const WideProduct product = multiplyWide(draw, m_count);
        if (refuses(product.low))
            return std::nullopt;
        return product.high;
    }

private:
    std::uint64_t m_count;
    std::uint64_t m_refuseBelow;
};

} // namespace pellorin
