#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
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

// check's verdict on a line of 12 to 19 digits and nothing else, made
// without allocating, for a caller that judges millions and keeps them
// compact. The views point at data that lives as long as the program.
struct quick_verdict {
    bool valid = false;
    // The rule it breaks ("prefix", "length" or "luhn"); empty when valid.
    std::string_view reason;
    // verdict::networks joined by '|' ("JCB|RuPay"); empty for none.
    std::string_view networks;
};

// The verdict check gives `line` (a line end at its end aside), when it is
// a plain number: the verdict's number is `line`, its reasons the one
// reason or none, and it has no problem, expiry or code. None for any other
// line, which check judges.
std::optional<quick_verdict> check_quick(std::string_view line, const check_options& options = {});

// check_lines' verdicts, handed over line by line as they are made: a plain
// number's as a quick_verdict with its line's number and its digits (a view
// into `text`), every other line's as check_lines gives it.
void check_lines_each(std::string_view text, const check_options& options, bool nul_ended,
    const std::function<void(std::uint64_t line, std::string_view number, const quick_verdict&)>&
        quick,
    const std::function<void(verdict&&)>& full);

} // namespace pellorin
