#pragma once

#include "NumberPattern.h"
#include "Requests.h"

#include <string>
#include <string_view>

namespace pellorin::engine {

// What a generate request makes: its numbers, the network they go by and
// how they print.
struct NumberKind {
    NumberPattern pattern;
    std::string name; // "Visa", or "Custom" for a prefix inside no network
    int codeDigits;
    std::string_view groups; // "4-4-4-4"
};

// The numbers of a request read from the command line (length resolved).
// A brand of the window gives the window's numbers unless --ranges, an
// --invalid rule of the number itself (luhn, length, prefix) or a length the
// window does not make asks otherwise; a prefix of one's own inside a
// network's range takes that network's name, code length and groups.
NumberKind numberKind(const GenerateRequest& request);

} // namespace pellorin::engine
