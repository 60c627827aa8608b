// Feeds arbitrary bytes to `check`'s input reading: lines cut from pieces of
// any size must be the lines of the whole, never longer than the limit; a
// number read keeps the line's digits in order, and reads back the same from
// every shape generate writes it in (grouped, in the groups it prints).

#include "CheckInput.h"
#include "FuzzCheck.h"
#include "LuhnCheck.h"
#include "Network.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using pellorin::engine::CheckLine;
using pellorin::engine::kMaxCheckLine;

struct Line {
    std::string text;
    bool overlong;
    bool operator==(const Line&) const = default;
};

// Whole-input splitting, the obvious way: LF, CR LF and CR end lines.
std::vector<Line> referenceLines(std::string_view input)
{
    std::vector<Line> lines;
    while (!input.empty()) {
        const std::size_t end = input.find_first_of("\r\n");
        const std::string_view line = input.substr(0, end);
        lines.push_back(
            line.size() > kMaxCheckLine ? Line { "", true } : Line { std::string(line), false });
        if (end == std::string_view::npos)
            break;
        input.remove_prefix(input.substr(end, 2) == "\r\n" ? end + 2 : end + 1);
    }
    return lines;
}

bool isDigits(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// Whether `digits` appear in `line` in this order, as reading may only drop
// characters, never invent or reorder them.
bool within(std::string_view digits, std::string_view line)
{
    std::size_t at = 0;
    for (const char d : digits) {
        at = line.find(d, at);
        if (at == std::string_view::npos)
            return false;
        ++at;
    }
    return true;
}

// The shapes `generate` writes a card number in, and people type it in:
// each must read back as the same digits.
std::vector<std::string> shapesOf(const std::string& d)
{
    std::string grouped(2 * d.size(), '\0');
    grouped.resize(std::size_t(
        pellorin::writeGrouped(d, pellorin::defaultGroups(int(d.size())), '-', grouped.data())
        - grouped.data()));
    return { d, d + " 11/28 870", d + " 1234", d + ",Visa\r", d + ",American Express,11/28,1234",
        R"({"number":")" + d + R"(","brand":"Visa","cvv":"870"},)", d + "   \t11/28 \t870\t\r",
        "\t" + grouped + "\xc2\xa0" };
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
    pellorin::engine::LineSplitter splitter;
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
        const CheckLine read = pellorin::engine::readCheckLine(line.text);
        switch (read.kind) {
        case CheckLine::Kind::Number: {
            PELLORIN_FUZZ_CHECK(isDigits(read.digits) && within(read.digits, line.text));
            const pellorin::NumberVerdict verdict = pellorin::judgeNumber(read.digits);
            PELLORIN_FUZZ_CHECK(verdict.wrongCheckDigit != pellorin::LuhnCheck(read.digits));
            // Every network named has a range that holds the number's prefix.
            for (const pellorin::Network* network : verdict.networks.all()) {
                const std::string_view digits = read.digits;
                PELLORIN_FUZZ_CHECK(std::any_of(network->ranges.begin(), network->ranges.end(),
                    [&](const pellorin::PrefixRange& range) {
                        const std::string_view head = digits.substr(0, range.first.size());
                        return head.size() == range.first.size() && head >= range.first
                            && head <= range.last;
                    }));
            }
            if (read.digits.size() >= pellorin::engine::kMinCheckDigits
                && read.digits.size() <= pellorin::engine::kMaxCheckDigits) {
                for (const std::string& shape : shapesOf(read.digits)) {
                    const CheckLine again = pellorin::engine::readCheckLine(shape);
                    PELLORIN_FUZZ_CHECK(
                        again.kind == CheckLine::Kind::Number && again.digits == read.digits);
                }
            }
            break;
        }
        case CheckLine::Kind::Unreadable:
            PELLORIN_FUZZ_CHECK(!read.problem.empty() && read.digits.empty());
            break;
        case CheckLine::Kind::Blank:
        case CheckLine::Kind::Header:
            PELLORIN_FUZZ_CHECK(read.digits.empty() && read.problem.empty());
            break;
        }
    }
    return 0;
}
