// Checks the quantity conversion shared by the quantity box and the
// generation run against an independent reading of the same text.

#include "FuzzCheck.h"
#include "NumberText.h"
#include "ReferenceDecimal.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the locale's separator; the rest is the typed text.
    const char separator = (data[0] & 1) != 0 ? ',' : '.';
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    const auto expected = pellorin::fuzz::referenceReadDecimal(text, separator);
    const auto reading = pellorin::readDecimal(text, separator);
    PELLORIN_FUZZ_CHECK(reading.has_value() == expected.has_value());
    if (reading) {
        PELLORIN_FUZZ_CHECK(reading->negative == expected->negative);
        PELLORIN_FUZZ_CHECK(reading->nonZero == expected->nonZero);
        PELLORIN_FUZZ_CHECK(reading->rounded == expected->rounded);
    }

    const pellorin::Quantity quantity = pellorin::readQuantity(text, separator);
    PELLORIN_FUZZ_CHECK((quantity.kind == pellorin::Quantity::Kind::Whole) == expected.has_value());
    if (expected)
        PELLORIN_FUZZ_CHECK(quantity.value == expected->rounded);

    const auto count = pellorin::readQuantity32(text, separator);
    const bool fits = expected && expected->rounded >= std::numeric_limits<std::int32_t>::min()
        && expected->rounded <= std::numeric_limits<std::int32_t>::max();
    PELLORIN_FUZZ_CHECK(count.has_value() == fits);
    if (count)
        PELLORIN_FUZZ_CHECK(*count == expected->rounded);
    return 0;
}
