#include "CheckInput.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>

namespace pellorin::engine {

namespace {

bool isDigit(char c) noexcept
{
    return c >= '0' && c <= '9';
}

bool isBlank(char c) noexcept
{
    return c == ' ' || c == '\t' || c == '\r';
}

// A piece of the line and where it starts in it, so a report can name the
// column of the character it is about.
struct Piece {
    std::string_view text;
    std::size_t at = 0;

    Piece trimmed() const noexcept
    {
        Piece p = *this;
        while (!p.text.empty() && isBlank(p.text.front())) {
            p.text.remove_prefix(1);
            ++p.at;
        }
        while (!p.text.empty() && isBlank(p.text.back()))
            p.text.remove_suffix(1);
        return p;
    }
    Piece from(std::size_t i) const noexcept { return { text.substr(i), at + i }; }
    Piece upTo(std::size_t n) const noexcept { return { text.substr(0, n), at }; }
};

CheckLine unreadable(std::string problem)
{
    CheckLine line;
    line.kind = CheckLine::Kind::Unreadable;
    line.problem = std::move(problem);
    return line;
}

// A number as people write it: digits with blanks or dashes between them.
CheckLine readGrouped(Piece piece)
{
    CheckLine line;
    line.kind = CheckLine::Kind::Number;
    for (std::size_t i = 0; i < piece.text.size(); ++i) {
        const char c = piece.text[i];
        if (isDigit(c))
            line.digits.push_back(c);
        else if (!isBlank(c) && c != '-')
            return unreadable(
                "character " + std::to_string(piece.at + i + 1) + " is not a digit, blank or dash");
    }
    if (line.digits.empty())
        return unreadable("no digits");
    return line;
}

bool allDigits(std::string_view text) noexcept
{
    for (const char c : text) {
        if (!isDigit(c))
            return false;
    }
    return !text.empty();
}

// The extras `generate` writes after a number: an expiry month "MM/YY" and
// a security code of 3 or 4 digits.
bool isExpiry(std::string_view text) noexcept
{
    return text.size() == 5 && isDigit(text[0]) && isDigit(text[1]) && text[2] == '/'
        && isDigit(text[3]) && isDigit(text[4]);
}

bool isCode(std::string_view text) noexcept
{
    return (text.size() == 3 || text.size() == 4) && allDigits(text);
}

bool isHeading(std::string_view word) noexcept
{
    constexpr std::string_view kNumber = "number";
    if (word == "Result(s)")
        return true;
    if (word.size() != kNumber.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if ((word[i] | 0x20) != kNumber[i])
            return false;
    }
    return true;
}

// Text and table records: the number, then blanks and the extras. A line
// that is not that is a number written in groups.
CheckLine readWords(Piece line)
{
    std::size_t end = 0;
    while (end < line.text.size() && !isBlank(line.text[end]))
        ++end;
    const std::string_view first = line.text.substr(0, end);
    if (isHeading(first))
        return { CheckLine::Kind::Header, {}, {} };
    // A number in dashed groups counts as one word.
    std::string digits;
    for (const char c : first) {
        if (c != '-')
            digits += c;
    }
    const bool dashedWell = !first.starts_with('-') && !first.ends_with('-')
        && first.find("--") == std::string_view::npos;
    if (end < line.text.size() && dashedWell && allDigits(digits)
        && digits.size() >= kMinCheckDigits) {
        bool expiry = false, code = false, extrasOnly = true;
        Piece rest = line.from(end).trimmed();
        while (!rest.text.empty() && extrasOnly) {
            std::size_t wordEnd = 0;
            while (wordEnd < rest.text.size() && !isBlank(rest.text[wordEnd]))
                ++wordEnd;
            const std::string_view word = rest.text.substr(0, wordEnd);
            if (!expiry && !code && isExpiry(word))
                expiry = true;
            else if (!code && isCode(word))
                code = true;
            else
                extrasOnly = false;
            rest = rest.from(wordEnd).trimmed();
        }
        if (extrasOnly)
            return { CheckLine::Kind::Number, digits, {} };
    }
    return readGrouped(line);
}

// Unquoted, as `generate` writes them; a field in double quotes is read
// without them.
CheckLine readCsv(Piece line)
{
    CheckLine number;
    std::size_t field = 0;
    for (Piece rest = line;; ++field) {
        const std::size_t comma = rest.text.find(',');
        Piece cell = rest.upTo(comma).trimmed();
        if (cell.text.size() >= 2 && cell.text.front() == '"' && cell.text.back() == '"') {
            cell.text = cell.text.substr(1, cell.text.size() - 2);
            ++cell.at;
        }
        if (field == 0) {
            if (isHeading(cell.text))
                return { CheckLine::Kind::Header, {}, {} };
            number = readGrouped(cell);
            if (number.kind != CheckLine::Kind::Number)
                return number;
        } else if (std::any_of(cell.text.begin(), cell.text.end(), isDigit) && !isExpiry(cell.text)
            && !isCode(cell.text)) {
            return unreadable("field " + std::to_string(field + 1)
                + " is neither a brand, an expiry MM/YY nor a security code");
        }
        if (comma == std::string_view::npos)
            return number;
        rest = rest.from(comma + 1);
    }
}

// A JSON object of plain members, as `generate` writes one per record: its
// "number" member is the number and the others are not looked at.
CheckLine readJsonObject(Piece line)
{
    const std::string_view text = line.text;
    std::size_t i = 1;
    auto skipBlanks = [&] {
        while (i < text.size() && isBlank(text[i]))
            ++i;
    };
    auto malformed = [&] {
        return unreadable("character " + std::to_string(line.at + std::min(i, text.size()) + 1)
            + " does not continue the JSON object");
    };
    std::optional<CheckLine> number;
    skipBlanks();
    if (i < text.size() && text[i] == '}')
        return unreadable("no \"number\" field");
    while (i < text.size()) {
        if (text[i] != '"')
            return malformed();
        const std::size_t keyEnd = text.find('"', i + 1);
        if (keyEnd == std::string_view::npos)
            return malformed();
        const std::string_view key = text.substr(i + 1, keyEnd - i - 1);
        i = keyEnd + 1;
        skipBlanks();
        if (i >= text.size() || text[i] != ':')
            return malformed();
        ++i;
        skipBlanks();
        Piece value;
        if (i < text.size() && text[i] == '"') {
            const std::size_t valueEnd = text.find('"', i + 1);
            if (valueEnd == std::string_view::npos)
                return malformed();
            value = line.from(i + 1).upTo(valueEnd - i - 1);
            i = valueEnd + 1;
        } else {
            const std::size_t start = i;
            while (i < text.size() && text[i] != ',' && text[i] != '}' && !isBlank(text[i]))
                ++i;
            if (i == start)
                return malformed();
            value = line.from(start).upTo(i - start);
        }
        if (value.text.find('\\') != std::string_view::npos)
            return malformed();
        if (key == "number") {
            if (number)
                return unreadable("more than one \"number\" field");
            number = readGrouped(value);
            if (number->kind != CheckLine::Kind::Number)
                return *number;
        }
        skipBlanks();
        if (i < text.size() && text[i] == ',') {
            ++i;
            skipBlanks();
            continue;
        }
        if (i + 1 == text.size() && text[i] == '}')
            break;
        return malformed();
    }
    if (!number)
        return unreadable("no \"number\" field");
    return *number;
}

// No-break spaces (U+00A0, U+202F) become as many plain spaces as they have
// bytes, so columns still count the line's bytes.
std::string_view withPlainBlanks(std::string_view line, std::string& scratch)
{
    if (std::memchr(line.data(), '\xC2', line.size()) == nullptr
        && std::memchr(line.data(), '\xE2', line.size()) == nullptr)
        return line;
    scratch.assign(line);
    for (std::size_t i = 0; i + 1 < scratch.size(); ++i) {
        if (scratch.compare(i, 2, "\xC2\xA0") == 0)
            scratch.replace(i, 2, "  ");
        else if (scratch.compare(i, 3, "\xE2\x80\xAF") == 0)
            scratch.replace(i, 3, "   ");
    }
    return scratch;
}

} // namespace

CheckLine readCheckLine(std::string_view text)
{
    std::string scratch;
    Piece line = Piece { withPlainBlanks(text, scratch), 0 }.trimmed();
    if (line.text.empty())
        return {};
    // A JSON array's brackets, on lines of their own or around one object.
    if (line.text.front() == '[')
        line = line.from(1).trimmed();
    if (!line.text.empty() && line.text.back() == ',')
        line = line.upTo(line.text.size() - 1).trimmed();
    if (!line.text.empty() && line.text.back() == ']')
        line = line.upTo(line.text.size() - 1).trimmed();
    if (line.text.empty())
        return {};
    if (line.text.front() == '{') {
        if (line.text.back() != '}')
            return unreadable("the JSON object does not end on its line");
        return readJsonObject(line);
    }
    if (line.text.find(',') != std::string_view::npos)
        return readCsv(line);
    return readWords(line);
}

} // namespace pellorin::engine
