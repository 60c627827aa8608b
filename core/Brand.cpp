#include "Brand.h"

namespace pellorin {

namespace {

constexpr std::string_view kVisa[]
    = { "4032", "4128", "4250", "4312", "4421", "4539", "4556", "4673", "4722", "4800", "4833" };
constexpr std::string_view kMastercard[] = { "510813" };
constexpr std::string_view kAmericanExpress[] = { "372034", "372407", "372861", "373227" };
constexpr std::string_view kDiscover[] = { "601100" };

constexpr std::array<Brand, kBrandCount> kBrands { {
    { BrandId::Visa, " Visa", kVisa, 16 },
    { BrandId::Mastercard, "Mastercard", kMastercard, 16 },
    { BrandId::AmericanExpress, "American Express", kAmericanExpress, 15 },
    { BrandId::Discover, "Discover", kDiscover, 16 },
} };

} // namespace

const std::array<Brand, kBrandCount>& brandTable() noexcept
{
    return kBrands;
}

const Brand& brand(BrandId id) noexcept
{
    return kBrands[static_cast<std::size_t>(id)];
}

} // namespace pellorin
