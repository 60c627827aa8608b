#pragma once

#include <array>
#include <span>
#include <string_view>

namespace pellorin {

// The four card brands, in the order the options are tested.
enum class BrandId { Visa, Mastercard, AmericanExpress, Discover };

struct Brand {
    BrandId id;
    std::string_view caption;
    // Issuer prefixes in table order. All prefixes of a brand have one length.
    std::span<const std::string_view> prefixes;
    int length;
};

inline constexpr int kBrandCount = 4;

const std::array<Brand, kBrandCount>& brandTable() noexcept;
const Brand& brand(BrandId id) noexcept;

} // namespace pellorin
