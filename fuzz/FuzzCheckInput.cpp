// Feeds arbitrary bytes to `check`'s input reading: lines cut from pieces of
// any size must be the lines of the whole, never longer than the limit, and
// each line's reading must agree with a plain reference.

#include "cli/CheckInput.h"
#include "fuzz/FuzzCheck.h"
#include "generate/LuhnCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using pellorin::cli::CheckLine;
using pellorin::cli::kMaxCheckLine;

struct Line {
    std::string text;
    bool overlong;
    bool operator==(const Line&) const = default;
};

// Whole-input splitting, the obvious way.
std::vector<Line> referenceLines(std::string_view input)
{
    std::vector<Line> lines;
    while (!input.empty()) {
        const std::size_t end = input.find('\n');
        const std::string_view line = input.substr(0, end);
        lines.push_back(
            line.size() > kMaxCheckLine ? Line { "", true } : Line { std::string(line), false });
        if (end == std::string_view::npos)
            break;
        input.remove_prefix(end + 1);
    }
    return lines;
}

CheckLine::Kind referenceKind(std::string_view line)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    std::size_t digits = 0;
    bool dashes = false;
    for (char c : line) {
        if (c >= '0' && c <= '9')
            ++digits;
        else if (c == '-')
            dashes = true;
        else if (c != ' ' && c != '\t')
            return CheckLine::Kind::NotANumber;
    }
    if (digits > 19)
        return CheckLine::Kind::TooLong;
    if (digits > 0)
        return CheckLine::Kind::Number;
    return dashes ? CheckLine::Kind::NoDigits : CheckLine::Kind::Blank;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte sets the size of the pieces the rest arrives in.
    const std::size_t piece = std::size_t(data[0]) + 1;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

    std::vector<Line> lines;
    pellorin::cli::LineSplitter splitter;
    auto collect = [&](std::string_view line, bool overlong) {
        PELLORIN_FUZZ_CHECK(line.size() <= kMaxCheckLine);
        lines.push_back({ std::string(line), overlong });
    };
    for (std::size_t at = 0; at < input.size(); at += piece)
        splitter.feed(input.substr(at, piece), collect);
    splitter.finish(collect);
    PELLORIN_FUZZ_CHECK(lines == referenceLines(input));

    for (const Line& line : lines) {
        if (line.overlong)
            continue;
        const CheckLine read = pellorin::cli::readCheckLine(line.text);
        PELLORIN_FUZZ_CHECK(read.kind == referenceKind(line.text));
        if (read.kind == CheckLine::Kind::Number) {
            PELLORIN_FUZZ_CHECK(!read.digits.empty() && read.digits.size() <= 19);
            const std::string_view brand = pellorin::cli::issuerOf(read.digits);
            PELLORIN_FUZZ_CHECK(brand == "Visa" || brand == "Mastercard"
                || brand == "American Express" || brand == "Discover" || brand == "unknown");
            (void)pellorin::LuhnCheck(read.digits);
        } else if (read.kind == CheckLine::Kind::NotANumber) {
            PELLORIN_FUZZ_CHECK(read.column >= 1 && read.column <= line.text.size());
        }
    }
    return 0;
}
