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
// digits, both from one draw of the extras stream: floor(60 × 10^4 × r),
// refused as in NumberPattern where uneven.
class ExtrasDrawer {
public:
    ExtrasDrawer(MonthIndex now, int codeDigits) noexcept
        : m_now(now)
        , m_codeDigits(codeDigits)
    {
    }

    Extras draw(Stream& stream) const noexcept;
    int codeDigits() const noexcept { return m_codeDigits; }

private:
    MonthIndex m_now;
    int m_codeDigits;
};

} // namespace pellorin::engine
