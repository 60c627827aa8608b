#include "pellorin/check.h"
#include "CheckInput.h"
#include "LuhnCheck.h"
#include "Network.h"
#include "NetworkLookup.h"

#include <algorithm>
#include <chrono>
#include <optional>

namespace pellorin {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The month an expiry before has passed, as months since year 0.
std::int64_t monthIndex(const check_options& options)
{
    using namespace std::chrono;
    const year_month month = options.month.value_or([] {
        const year_month_day today { floor<days>(system_clock::now()) };
        return today.year() / today.month();
    }());
    return std::int64_t(int(month.year())) * 12 + unsigned(month.month()) - 1;
}

// What is wrong with a well-formed number's expiry date and code, each
// judged on its own, where pellorin-cli says only the first.
std::vector<std::string> extrasFaults(const engine::CheckLine& read, const check_options& options)
{
    std::vector<std::string> faults;
    const NetworkMatches networks = judgeNumber(read.digits).networks;
    const std::int64_t month = monthIndex(options);
    engine::CheckLine one;
    one.expiry = read.expiry;
    if (const std::string_view fault = engine::extrasFault(one, networks, month); !fault.empty())
        faults.emplace_back(fault);
    one.expiry.clear();
    one.code = read.code;
    if (const std::string_view fault = engine::extrasFault(one, networks, month); !fault.empty())
        faults.emplace_back(fault);
    return faults;
}

// Judges a line that holds a number, as pellorin-cli check does. A card's
// length of digits is looked up, as the command line's check does, not
// matched against the whole network table: check is called per number by
// bindings that judge millions.
verdict judgeDigits(engine::CheckLine read, const check_options& options)
{
    std::string& digits = read.digits;
    verdict v;
    const bool possibleLength
        = digits.size() >= engine::kMinCheckDigits && digits.size() <= engine::kMaxCheckDigits;
    if (!possibleLength) {
        // A number of no card's length belongs to no network.
        v.reasons.emplace_back("length");
        v.number = std::move(digits);
        return v;
    }
    const engine::PrefixVerdict& judged = engine::NetworkLookup::instance().find(digits);
    // One that no network issues is no card's, however well formed.
    if (judged.noNetwork && !options.allow_unknown)
        v.reasons.emplace_back("prefix");
    else if (judged.wrongLength)
        v.reasons.emplace_back("length");
    else if (!LuhnCheck(digits))
        v.reasons.emplace_back("luhn");
    if (v.reasons.empty() && !(read.expiry.empty() && read.code.empty()))
        v.reasons = extrasFaults(read, options);
    v.valid = v.reasons.empty();
    if (!judged.noNetwork) {
        const std::string_view names = judged.networks;
        for (std::size_t at = 0; at <= names.size();) {
            const std::size_t bar = std::min(names.find('|', at), names.size());
            v.networks.push_back(names.substr(at, bar - at));
            at = bar + 1;
        }
    }
    v.number = std::move(digits);
    v.expiry = std::move(read.expiry);
    v.cvv = std::move(read.code);
    return v;
}

// Only digits, as many as a card has: no need of the reader of every shape.
bool plainNumber(std::string_view line) noexcept
{
    return line.size() >= engine::kMinCheckDigits && line.size() <= engine::kMaxCheckDigits
        && std::all_of(line.begin(), line.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The verdict on `line`, or none for a line check passes over (blank, a
// heading).
std::optional<verdict> judgeLine(
    std::string_view line, const check_options& options, bool firstLine)
{
    if (firstLine && line.starts_with(kByteOrderMark))
        line.remove_prefix(kByteOrderMark.size());
    if (plainNumber(line)) {
        engine::CheckLine read;
        read.digits = line;
        return judgeDigits(std::move(read), options);
    }
    verdict v;
    if (line.size() > engine::kMaxCheckLine) {
        v.problem = "longer than " + std::to_string(engine::kMaxCheckLine) + " bytes";
    } else {
        engine::CheckLine read = engine::readCheckLine(line);
        switch (read.kind) {
        case engine::CheckLine::Kind::Blank:
        case engine::CheckLine::Kind::Header:
            return std::nullopt;
        case engine::CheckLine::Kind::Number:
            return judgeDigits(std::move(read), options);
        case engine::CheckLine::Kind::Unreadable:
            // Another tool's heading on the first line: words, no digit.
            if (firstLine && line.find_first_of("0123456789{[") == std::string_view::npos
                && std::any_of(line.begin(), line.end(),
                    [](char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }))
                return std::nullopt;
            v.problem = std::move(read.problem);
            break;
        }
    }
    v.reasons.emplace_back("unreadable");
    return v;
}

} // namespace

verdict check(std::string_view line, const check_options& options)
{
    if (!line.empty() && line.back() == '\n')
        line.remove_suffix(1);
    if (auto judged = judgeLine(line, options, false))
        return std::move(*judged);
    verdict none;
    none.reasons.emplace_back("unreadable");
    none.problem = "no card number";
    return none;
}

std::vector<verdict> check_lines(
    std::string_view text, const check_options& options, bool nul_ended)
{
    std::vector<verdict> verdicts;
    const char end = nul_ended ? '\0' : '\n';
    std::uint64_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t cut = text.find(end);
        const std::string_view line = text.substr(0, cut);
        text.remove_prefix(cut == std::string_view::npos ? text.size() : cut + 1);
        ++lineNumber;
        if (auto judged = judgeLine(line, options, lineNumber == 1)) {
            judged->line = lineNumber;
            verdicts.push_back(std::move(*judged));
        }
    }
    return verdicts;
}

} // namespace pellorin
