#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellorin {

// How check judges, as pellorin-cli check's options.
struct check_options {
    // A number that no network issues passes when its length and check
    // digit hold (cards of a private label).
    bool allow_unknown = false;
    // The month an expiry date before has passed; none: the current month
    // in UTC.
    std::optional<std::chrono::year_month> month {};
};

// What check says of one line.
struct verdict {
    // Every rule holds: a readable number of a length its network issues,
    // with its check digit right, and the line's expiry date and code fit.
    bool valid = false;
    // The rules it breaks, as pellorin-cli check names them: "luhn",
    // "length" or "prefix" for the number, or "unreadable" for a line that
    // holds no single card number; for a well-formed number, "expiry" (no
    // month of the year) or "expired", and "code" (a length its network's
    // codes do not have). pellorin-cli says the first. Empty when valid.
    std::vector<std::string> reasons;
    // The digits read; empty for an unreadable line.
    std::string number;
    // The names of the networks that claim the number, the most specific
    // first ("JCB", "RuPay"); none for a number of no card's length.
    std::vector<std::string_view> networks;
    // Why an unreadable line could not be read.
    std::string problem;
    // The expiry date ("MM/YY" or "MM/YYYY") and the code the line carries
    // beside its number, as written; empty where it has none.
    std::string expiry;
    std::string cvv;
    // The line's number in the text check_lines read, from 1.
    std::uint64_t line = 0;
};

// Judges one number or one line in any shape generate writes (text, csv,
// json, ndjson or table record; a number with blanks or dashes).
verdict check(std::string_view line, const check_options& options = {});

// Judges every line of `text` (lines end in a line end, or in NUL with
// `nul_ended`), leaving out blank lines and headings as pellorin-cli check
// does.
std::vector<verdict> check_lines(
    std::string_view text, const check_options& options = {}, bool nul_ended = false);

} // namespace pellorin
