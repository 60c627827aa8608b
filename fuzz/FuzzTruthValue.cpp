// Checks the reading of stored truth values: whatever a hand-edited or
// damaged settings file holds, it reads as true or false without harm.

#include "fuzz/FuzzCheck.h"
#include "fuzz/ReferenceDecimal.h"
#include "generate/NumberText.h"

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
    const auto number = pellorin::fuzz::referenceReadDecimal(text, separator);
    return number && number->nonZero;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const char separator = (data[0] & 1) != 0 ? ',' : '.';
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    PELLORIN_FUZZ_CHECK(pellorin::readTruthValue(text, separator)
                        == referenceTruthValue(text, separator));
    return 0;
}
