#include "LuhnCheck.h"

namespace pellorin {

namespace {

int digitValue(char c) noexcept
{
    return (c >= '0' && c <= '9') ? c - '0' : 0;
}

// Sum of the Luhn values of `text`, mod 10; the last character is not doubled.
int luhnSum(std::string_view text) noexcept
{
    int sum = 0;
    bool doubled = false;
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
    return luhnSum(text) == 0;
}

} // namespace pellorin
