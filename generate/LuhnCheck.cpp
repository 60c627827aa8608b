#include "LuhnCheck.h"

namespace pellorin {

namespace {

int digitValue(char c) noexcept
{
    return (c >= '0' && c <= '9') ? c - '0' : 0;
}

// Sum of the Luhn values of `text` when its last character sits at place
// `firstPlace` counted from the right (1 = not doubled).
int luhnSum(std::string_view text, int firstPlace) noexcept
{
    int sum = 0;
    bool doubled = firstPlace % 2 == 0;
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        int v = digitValue(*it);
        if (doubled) {
            v *= 2;
            if (v > 9)
                v -= 9;
        }
        sum += v;
        if (sum >= 10)
            sum -= 10;
        doubled = !doubled;
    }
    return sum;
}

} // namespace

bool LuhnCheck(std::string_view text) noexcept
{
    return luhnSum(text, 1) == 0;
}

int luhnCheckDigit(std::string_view payload) noexcept
{
    return (10 - luhnSum(payload, 2)) % 10;
}

} // namespace pellorin
