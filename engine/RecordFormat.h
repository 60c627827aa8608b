#pragma once

#include "Requests.h"
#include "SeedStreams.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pellorin::engine {

// The month expiry dates count from: months since year 0 (year × 12 +
// month - 1).
using MonthIndex = std::int64_t;

// The text around a record's fields in one output format.
struct RecordLayout {
    std::string header, ending, separator, lead, afterNumber;
    std::string expiryLead, expiryTail, cvvLead, cvvTail, tail;
};

// The layout of `request`'s format for numbers that go by `name`; the table
// format has none, its renderer lays it out.
RecordLayout recordLayout(const GenerateRequest& request, std::string_view name);

// A record's expiry date ("MM/YY") and security code, drawn together.
struct Extras {
    std::array<char, 5> expiry;
    std::array<char, 4> code; // the first codeDigits() of them
};

// Expiry dates 1 to 60 months after `now` and codes of `codeDigits`
// digits, both from one bounded draw of the extras stream below 60 × 10^4.
// A rule of the extras takes the same draws: --invalid expiry writes a
// month 1 to 60 months before `now`, --invalid month the month 00 or 13 of
// a year 1 to 5 years after now's, --invalid code a code of
// wrongCodeLength(codeDigits) digits.
class ExtrasDrawer {
public:
    ExtrasDrawer(MonthIndex now, int codeDigits, InvalidRule rule = InvalidRule::None) noexcept;

    Extras draw(Stream& stream) const noexcept;
    // The digits of the codes it writes.
    int codeDigits() const noexcept { return m_codeDigits; }

private:
    MonthIndex m_now;
    int m_codeDigits;
    InvalidRule m_rule;
};

// A code length that no network with `codeDigits`-digit codes takes: 4
// for 3, and 3 for American Express's 4.
constexpr int wrongCodeLength(int codeDigits) noexcept
{
    return codeDigits == 4 ? 3 : 4;
}

} // namespace pellorin::engine
