// Checks the reading of stored truth values: whatever a hand-edited or
// damaged settings file holds, it reads as true or false without harm.

#include "FuzzCheck.h"
#include "NumberText.h"
#include "ReferenceDecimal.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool referenceTruthValue(std::string_view text, char separator)
{
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    std::string word = first == std::string_view::npos
        ? std::string()
        : std::string(text.substr(first, last - first + 1));
    for (char& c : word) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + ('a' - 'A'));
    }
    if (word == "true")
        return true;
    if (word == "false")
        return false;
    // "&h" or "&o" and at least one digit of that base; true unless all zeros.
    if (word.size() > 2 && word[0] == '&' && (word[1] == 'h' || word[1] == 'o')) {
        const std::string digits = word.substr(2);
        const char* allowed = word[1] == 'h' ? "0123456789abcdef" : "01234567";
        if (digits.find_first_not_of(allowed) != std::string::npos)
            return false;
        return digits.find_first_not_of('0') != std::string::npos;
    }
    // At most one exponent marker, followed by an optional sign and digits
    // only; the part before it is a plain decimal with nothing trailing.
    std::string mantissa = word;
    const auto marker = word.find('e');
    if (marker != std::string::npos) {
        mantissa = word.substr(0, marker);
        std::string exponent = word.substr(marker + 1);
        if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-'))
            exponent.erase(0, 1);
        if (exponent.empty() || exponent.find_first_not_of("0123456789") != std::string::npos)
            return false;
        if (mantissa.empty() || mantissa.back() == ' ' || mantissa.back() == '\t')
            return false;
    }
    const auto number = pellorin::fuzz::referenceReadDecimal(mantissa, separator);
    return number && number->nonZero;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const char separator = (data[0] & 1) != 0 ? ',' : '.';
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    PELLORIN_FUZZ_CHECK(
        pellorin::readTruthValue(text, separator) == referenceTruthValue(text, separator));
    return 0;
}
