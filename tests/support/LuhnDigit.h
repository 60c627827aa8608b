#pragma once

#include "LuhnCheck.h"

#include <string>
#include <string_view>

namespace pellorin::test {

// The check digit (0-9) that makes `payload` followed by it pass LuhnCheck,
// found by trying each; -1 if none does, which LuhnCheck never allows.
inline int luhnCheckDigit(std::string_view payload)
{
    std::string number(payload);
    number.push_back('0');
    for (int digit = 0; digit <= 9; ++digit) {
        number.back() = char('0' + digit);
        if (LuhnCheck(number))
            return digit;
    }
    return -1;
}

} // namespace pellorin::test
