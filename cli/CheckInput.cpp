#include "cli/CheckInput.h"

#include "generate/CardNumber.h"

#include <charconv>

namespace pellorin::cli {

CheckLine readCheckLine(std::string_view line)
{
    CheckLine result;
    bool dashes = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || (c == '\r' && i + 1 == line.size()))
            continue;
        if (c == '-') {
            dashes = true;
            continue;
        }
        if (c < '0' || c > '9') {
            result.kind = CheckLine::Kind::NotANumber;
            result.column = i + 1;
            result.digits.clear();
            return result;
        }
        result.digits.push_back(c);
    }
    if (result.digits.size() > std::size_t(kMaxCardLength)) {
        result.kind = CheckLine::Kind::TooLong;
        result.digits.clear();
    } else if (!result.digits.empty()) {
        result.kind = CheckLine::Kind::Number;
    } else if (dashes) {
        result.kind = CheckLine::Kind::NoDigits;
    }
    return result;
}

namespace {

// The number formed by the first `n` digits, or -1 when there are fewer.
int leading(std::string_view digits, std::size_t n) noexcept
{
    if (digits.size() < n)
        return -1;
    int value = 0;
    std::from_chars(digits.data(), digits.data() + n, value);
    return value;
}

bool within(int value, int low, int high) noexcept
{
    return value >= low && value <= high;
}

} // namespace

std::string_view issuerOf(std::string_view digits) noexcept
{
    const std::size_t n = digits.size();
    const int two = leading(digits, 2);
    const int three = leading(digits, 3);
    const int four = leading(digits, 4);
    if (!digits.empty() && digits[0] == '4' && (n == 13 || n == 16 || n == 19))
        return "Visa";
    if (n == 16 && (within(two, 51, 55) || within(four, 2221, 2720)))
        return "Mastercard";
    if (n == 15 && (two == 34 || two == 37))
        return "American Express";
    if (n >= 16 && n <= 19 && (four == 6011 || within(three, 644, 649) || two == 65))
        return "Discover";
    return "unknown";
}

} // namespace pellorin::cli
