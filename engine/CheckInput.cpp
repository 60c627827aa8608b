#include "CheckInput.h"

#include "Network.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>
#include <vector>

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

// What may stand between the groups of a number besides blanks: any mark
// `generate --separator` takes (no letter, digit, comma, quote or
// backslash).
bool isSeparator(char c) noexcept
{
    return c > ' ' && c <= '~' && !isDigit(c) && !((c | 0x20) >= 'a' && (c | 0x20) <= 'z')
        && c != ',' && c != '"' && c != '\\';
}

bool isLetter(char c) noexcept
{
    return ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || (c & 0x80) != 0;
}

// What may stand between a number and the fields after it, and between
// fields.
bool isFieldDelimiter(char c) noexcept
{
    return isBlank(c) || c == ',' || isSeparator(c);
}

bool allDigits(std::string_view text) noexcept
{
    for (const char c : text) {
        if (!isDigit(c))
            return false;
    }
    return !text.empty();
}

// An expiry month as people write it: "MM/YY" or "MM/YYYY".
bool isExpiry(std::string_view text) noexcept
{
    return (text.size() == 5 || text.size() == 7) && allDigits(text.substr(0, 2)) && text[2] == '/'
        && allDigits(text.substr(3));
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

const std::string kFieldProblem = " is neither a brand, an expiry MM/YY nor a security code";

// Takes one field after the number into `line`: an expiry, a security code
// (up to 4 digits; more are no code but another number), or, where
// `words` allows (fields apart by more than blanks), a word such as a
// brand. Returns a problem, or nothing.
std::string takeField(Piece field, int index, bool words, CheckLine& line)
{
    if (isExpiry(field.text)) {
        if (!line.expiry.empty())
            return "two expiry dates";
        line.expiry = field.text;
        return {};
    }
    if (allDigits(field.text) && field.text.size() <= 4) {
        if (!line.code.empty())
            return "two security codes";
        line.code = field.text;
        return {};
    }
    const bool digits = std::any_of(field.text.begin(), field.text.end(), isDigit);
    if (words && !digits)
        return {};
    if (!words && !digits) {
        const auto letter = std::find_if(field.text.begin(), field.text.end(), isLetter);
        return "character "
            + std::to_string(field.at + std::size_t(letter - field.text.begin()) + 1)
            + " is not a digit, blank or separator";
    }
    return "field " + std::to_string(index) + kFieldProblem;
}

// The fields after a number, apart by delimiters: `rest` starts with one.
std::string takeFields(Piece rest, CheckLine& line)
{
    // Words (a brand, a name) only where fields are apart by more than
    // blanks: "Visa 12/29" is no shape anyone writes a card in.
    bool words = false;
    for (const char c : rest.text)
        words = words || c == '\t' || c == ',' || c == ';' || c == '|' || c == ':';
    int index = 1;
    for (std::size_t i = 0; i < rest.text.size();) {
        if (isFieldDelimiter(rest.text[i])) {
            ++i;
            continue;
        }
        if (i == 0)
            return "character " + std::to_string(rest.at + 1)
                + " is not a digit, blank or separator";
        std::size_t end = i;
        if (isExpiry(rest.text.substr(i, 7)))
            end = i + 7;
        else if (isExpiry(rest.text.substr(i, 5)))
            end = i + 5;
        if (end != i && end < rest.text.size() && !isFieldDelimiter(rest.text[end]))
            end = i;
        if (end == i) {
            while (end < rest.text.size() && !isFieldDelimiter(rest.text[end]))
                ++end;
        }
        Piece field = rest.from(i).upTo(end - i).trimmed();
        if (std::string problem = takeField(field, ++index, words, line); !problem.empty())
            return problem;
        i = end;
    }
    return {};
}

// Every grouping a number of `length` digits is printed in, by any network
// or by default: "4-4-4-4".
bool printedGrouping(std::string_view groups, int length)
{
    if (groups == defaultGroups(length))
        return true;
    for (const Network& network : networkTable()) {
        if (groups == groupsOf(network, length))
            return true;
    }
    return false;
}

// Whether `code` has the length of the security code of a network that
// issues the number.
bool codeFitsNumber(std::string_view digits, std::string_view code)
{
    const NumberVerdict verdict = judgeNumber(digits);
    if (verdict.wrongLength)
        return false;
    return std::any_of(verdict.networks.all().begin(), verdict.networks.all().end(),
        [&](const Network* network) { return int(code.size()) == network->codeLength; });
}

// One way to read a line: some of its first digit groups are the number,
// and what follows them its fields.
struct Reading {
    CheckLine line;
    bool fits = false; // the number and its code agree with the network table
};

// A line that starts with a digit: the number, grouped or not, and the
// fields after it.
CheckLine readFields(Piece line)
{
    // The digit groups from the start, apart by blanks alone or by one kind
    // of mark, as a number is printed in groups.
    struct Group {
        std::size_t end; // in the line
        std::size_t size;
    };
    std::vector<Group> groups;
    char between = 0; // ' ' for blanks, or the mark
    for (std::size_t i = 0;;) {
        const std::size_t start = i;
        while (i < line.text.size() && isDigit(line.text[i]))
            ++i;
        groups.push_back({ i, i - start });
        std::size_t next = i;
        char mark = ' ';
        while (next < line.text.size() && line.text[next] == ' ')
            ++next;
        if (next < line.text.size() && isSeparator(line.text[next])) {
            mark = line.text[next++];
            while (next < line.text.size() && line.text[next] == ' ')
                ++next;
        }
        if (next == i || next == line.text.size() || !isDigit(line.text[next])
            || (between != 0 && mark != between))
            break;
        between = mark;
        i = next;
    }
    std::vector<Reading> readings;
    std::string firstProblem;
    std::string sizes;
    for (std::size_t count = 1; count <= groups.size(); ++count) {
        if (count > 1)
            sizes += '-';
        sizes += std::to_string(groups[count - 1].size);
        Reading reading;
        CheckLine& read = reading.line;
        read.kind = CheckLine::Kind::Number;
        for (std::size_t g = 0; g < count; ++g)
            read.digits.append(line.text.substr(groups[g].end - groups[g].size, groups[g].size));
        if (count > 1 && !printedGrouping(sizes, int(read.digits.size())))
            continue;
        const std::string problem = takeFields(line.from(groups[count - 1].end), read);
        if (!problem.empty()) {
            if (count == 1)
                firstProblem = problem;
            continue;
        }
        reading.fits = read.code.empty() || codeFitsNumber(read.digits, read.code);
        // Some groups of a grouping and a code after them, apart as the
        // groups are: a shorter number only where its network has such a
        // code, and only with blanks, as people type a number and its code;
        // a mark that joins groups joins them all.
        if (count > 1 && count < groups.size() && (between != ' ' || !reading.fits))
            continue;
        readings.push_back(std::move(reading));
    }
    const auto fitting
        = std::count_if(readings.begin(), readings.end(), [](const Reading& r) { return r.fits; });
    if (fitting > 1)
        return unreadable("a number and a code, or a longer number: its groups do not tell");
    if (fitting == 1)
        return std::find_if(readings.begin(), readings.end(), [](const Reading& r) {
            return r.fits;
        })->line;
    if (readings.size() == 1)
        return readings.front().line;
    if (readings.size() > 1)
        return unreadable("a number and a code, or a longer number: its groups do not tell");
    if (groups.size() > 1 && firstProblem == "two security codes")
        return unreadable("digit groups " + sizes + " are no grouping a card number prints in");
    return unreadable(firstProblem);
}

// A line in any shape but JSON's.
CheckLine readPlain(Piece line)
{
    // The first word may be a heading: "number", "number;cvv".
    const std::size_t word = line.text.find_first_of(" \t,;|:");
    if (isHeading(line.text.substr(0, word)))
        return { CheckLine::Kind::Header, {}, {}, {}, {} };
    if (line.text.empty() || !isDigit(line.text.front()))
        return unreadable(
            "character " + std::to_string(line.at + 1) + " is not a digit, blank or separator");
    return readFields(line);
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
            number = readPlain(cell);
            if (number.kind != CheckLine::Kind::Number)
                return number;
        } else if (!cell.text.empty()) {
            if (std::string problem = takeField(cell, int(field + 1), true, number);
                !problem.empty())
                return unreadable(problem);
        }
        if (comma == std::string_view::npos)
            return number;
        rest = rest.from(comma + 1);
    }
}

void appendUtf8(char32_t c, std::string& out)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

std::optional<char32_t> hexUnit(std::string_view text)
{
    unsigned value = 0;
    if (text.size() != 4
        || std::from_chars(text.data(), text.data() + 4, value, 16).ptr != text.data() + 4)
        return std::nullopt;
    return char32_t(value);
}

// A JSON string's text between its quotes, its escapes decoded; none for
// a malformed escape.
std::optional<std::string> jsonText(std::string_view raw)
{
    std::string text;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\') {
            text += raw[i];
            continue;
        }
        if (++i == raw.size())
            return std::nullopt;
        constexpr std::string_view kEscaped = "\"\\/bfnrt";
        constexpr std::string_view kMeant = "\"\\/\b\f\n\r\t";
        if (const std::size_t at = kEscaped.find(raw[i]); at != std::string_view::npos) {
            text += kMeant[at];
            continue;
        }
        if (raw[i] != 'u')
            return std::nullopt;
        std::optional<char32_t> unit = hexUnit(raw.substr(i + 1, 4));
        if (!unit)
            return std::nullopt;
        i += 4;
        if (*unit >= 0xD800 && *unit < 0xDC00 && raw.substr(i + 1, 2) == "\\u") {
            const std::optional<char32_t> low = hexUnit(raw.substr(i + 3, 4));
            if (low && *low >= 0xDC00 && *low < 0xE000) {
                unit = 0x10000 + ((*unit - 0xD800) << 10) + (*low - 0xDC00);
                i += 6;
            }
        }
        appendUtf8(*unit >= 0xD800 && *unit < 0xE000 ? 0xFFFD : *unit, text);
    }
    return text;
}

// A JSON object of plain members, as `generate` writes one per record: its
// "number", "expiry" and "cvv" members are read, the others are not looked
// at.
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
    // A string's end: the quote no backslash escapes.
    auto stringEnd = [&](std::size_t from) {
        for (std::size_t at = from; at < text.size(); ++at) {
            if (text[at] == '\\')
                ++at;
            else if (text[at] == '"')
                return at;
        }
        return std::string_view::npos;
    };
    std::optional<CheckLine> number;
    std::string expiry, code;
    skipBlanks();
    if (i < text.size() && text[i] == '}')
        return unreadable("no \"number\" field");
    while (i < text.size()) {
        if (text[i] != '"')
            return malformed();
        const std::size_t keyEnd = stringEnd(i + 1);
        if (keyEnd == std::string_view::npos)
            return malformed();
        const std::optional<std::string> key = jsonText(text.substr(i + 1, keyEnd - i - 1));
        if (!key)
            return malformed();
        i = keyEnd + 1;
        skipBlanks();
        if (i >= text.size() || text[i] != ':')
            return malformed();
        ++i;
        skipBlanks();
        Piece value;
        std::optional<std::string> decoded;
        if (i < text.size() && text[i] == '"') {
            const std::size_t valueEnd = stringEnd(i + 1);
            if (valueEnd == std::string_view::npos)
                return malformed();
            value = line.from(i + 1).upTo(valueEnd - i - 1);
            if (value.text.find('\\') != std::string_view::npos) {
                decoded = jsonText(value.text);
                if (!decoded)
                    return malformed();
                value.text = *decoded;
            }
            i = valueEnd + 1;
        } else {
            const std::size_t start = i;
            while (i < text.size() && text[i] != ',' && text[i] != '}' && !isBlank(text[i]))
                ++i;
            if (i == start)
                return malformed();
            value = line.from(start).upTo(i - start);
        }
        if (*key == "number") {
            if (number)
                return unreadable("more than one \"number\" field");
            number = readPlain(value);
            if (number->kind != CheckLine::Kind::Number)
                return *number;
        } else if (*key == "expiry" && value.text != "null") {
            if (!isExpiry(value.text))
                return unreadable("the \"expiry\" field is no MM/YY");
            expiry = value.text;
        } else if ((*key == "cvv" || *key == "cvc" || *key == "code") && value.text != "null") {
            if (!allDigits(value.text))
                return unreadable("the \"" + *key + "\" field is not digits");
            code = value.text;
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
    if ((!expiry.empty() && !number->expiry.empty()) || (!code.empty() && !number->code.empty()))
        return unreadable("the \"number\" field holds more than a number");
    if (!expiry.empty())
        number->expiry = expiry;
    if (!code.empty())
        number->code = code;
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
    return readPlain(line);
}

std::string_view extrasFault(
    const CheckLine& read, const NetworkMatches& networks, std::optional<std::int64_t> month)
{
    if (!read.expiry.empty()) {
        const int expiryMonth = (read.expiry[0] - '0') * 10 + (read.expiry[1] - '0');
        if (expiryMonth < 1 || expiryMonth > 12)
            return "expiry";
        int year = 0;
        for (const char c : std::string_view(read.expiry).substr(3))
            year = year * 10 + (c - '0');
        if (read.expiry.size() == 5)
            year += 2000;
        if (month && std::int64_t(year) * 12 + expiryMonth - 1 < *month)
            return "expired";
    }
    if (!read.code.empty()) {
        const int length = int(read.code.size());
        // A number no network claims may have a code of 3 digits or 4.
        const bool fits = networks.empty()
            ? length == 3 || length == 4
            : std::any_of(networks.all().begin(), networks.all().end(),
                [&](const Network* network) { return network->codeLength == length; });
        if (!fits)
            return "code";
    }
    return {};
}

TextEncoding textEncoding(std::string_view head) noexcept
{
    if (head.starts_with("\xFF\xFE"))
        return TextEncoding::Utf16Le;
    if (head.starts_with("\xFE\xFF"))
        return TextEncoding::Utf16Be;
    // ASCII text in UTF-16 without a mark: a zero on the same side of every
    // pair of bytes, and nothing but zeros there.
    const std::size_t pairs = head.size() / 2;
    if (pairs < 2)
        return TextEncoding::Utf8;
    bool low = true, high = true;
    for (std::size_t i = 0; i < pairs; ++i) {
        const char first = head[2 * i], second = head[2 * i + 1];
        low = low && first != 0 && second == 0;
        high = high && first == 0 && second != 0;
    }
    return low || high ? TextEncoding::Utf16WithoutMark : TextEncoding::Utf8;
}

void appendUtf16(std::string_view bytes, bool bigEndian, std::string& pending, std::string& out)
{
    std::string joined;
    if (!pending.empty()) {
        joined = pending + std::string(bytes);
        bytes = joined;
        pending.clear();
    }
    const auto unitAt = [&](std::size_t at) {
        const auto first = char32_t(std::uint8_t(bytes[at]));
        const auto second = char32_t(std::uint8_t(bytes[at + 1]));
        return bigEndian ? first << 8 | second : second << 8 | first;
    };
    std::size_t at = 0;
    for (; at + 2 <= bytes.size(); at += 2) {
        char32_t unit = unitAt(at);
        if (unit >= 0xD800 && unit < 0xDC00) {
            if (at + 4 > bytes.size())
                break;
            const char32_t low = unitAt(at + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                at += 2;
            } else {
                unit = 0xFFFD;
            }
        } else if (unit >= 0xDC00 && unit < 0xE000) {
            unit = 0xFFFD;
        }
        appendUtf8(unit, out);
    }
    pending.assign(bytes.substr(at));
}

} // namespace pellorin::engine
