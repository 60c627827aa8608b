// Checks LuhnCheck against a plain reference on arbitrary
// bytes, not only digit strings: the generator never passes anything else,
// but the routine is documented to count other characters as 0.

#include "FuzzCheck.h"
#include "LuhnCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// Walks left to right and decides the doubling from the distance to the end,
// with the digit sums of doubled values taken from a table instead of the
// "subtract 9" rule.
bool referenceLuhn(std::string_view text)
{
    static constexpr int kDoubledDigitSum[10] = { 0, 2, 4, 6, 8, 1, 3, 5, 7, 9 };
    long sum = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const int value = (c >= '0' && c <= '9') ? c - '0' : 0;
        const std::size_t placeFromRight = text.size() - i;
        sum += (placeFromRight % 2 == 0) ? kDoubledDigitSum[value] : value;
    }
    return sum % 10 == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    PELLORIN_FUZZ_CHECK(pellorin::LuhnCheck(text) == referenceLuhn(text));

    // Exactly one check digit completes any payload.
    std::string completed(text);
    int passing = 0;
    for (char d = '0'; d <= '9'; ++d) {
        completed.push_back(d);
        const bool passes = pellorin::LuhnCheck(completed);
        PELLORIN_FUZZ_CHECK(passes == referenceLuhn(completed));
        passing += passes ? 1 : 0;
        completed.pop_back();
    }
    PELLORIN_FUZZ_CHECK(passing == 1);
    return 0;
}
