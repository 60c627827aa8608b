// The engine as another face drives it: on one thread, into a plain sink,
// fed its input in pieces. Its bytes must be the command line's.

#include "CheckReader.h"
#include "CommandLine.h"
#include "CommandLineRun.h"
#include "Generator.h"
#include "Network.h"
#include "NetworkLookup.h"
#include "ParamName.h"
#include "Sink.h"
#include "Utf16Text.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace pellorin;

// The month of the pinned SOURCE_DATE_EPOCH, January 2026.
constexpr engine::MonthIndex kPinnedMonth = engine::MonthIndex { 2026 } * 12;

class StringSink final : public engine::Sink {
public:
    bool write(std::string_view bytes) override
    {
        text += bytes;
        return true;
    }
    std::string text;
};

cli::CommandLine parsed(const std::vector<std::string>& arguments)
{
    cli::CommandLine command = cli::parseCommandLine(arguments, 1);
    EXPECT_EQ(command.kind, cli::CommandLine::Kind::Generate) << command.text;
    return command;
}

struct EngineRun {
    const char* name;
    std::vector<std::string> arguments;
};

const EngineRun kRuns[] {
    { "TextOverThreeBlocks", { "generate", "--seed", "42", "--count", "40000" } },
    { "JsonWithExtras",
        { "generate", "--brand", "amex", "--count", "20000", "--format", "json", "--with-cvv",
            "--with-expiry", "--seed", "7" } },
    { "UniqueCsv",
        { "generate", "--prefix", "411111", "--length", "16", "--count", "17000", "--unique",
            "--format", "csv", "--seed", "3" } },
    { "GroupedTable",
        { "generate", "--brand", "jcb", "--length", "19", "--separator", "/", "--count", "16385",
            "--format", "table", "--with-expiry", "--seed", "9" } },
    { "InvalidNdjson",
        { "generate", "--brand", "maestro", "--invalid", "luhn", "--format", "ndjson", "--count",
            "100", "--seed", "42" } },
    { "NoneAsJson", { "generate", "--count", "0", "--format", "json", "--seed", "1" } },
    { "TsvPassedExpiryAndCode",
        { "generate", "--invalid", "expiry", "--with-cvv", "--format", "tsv", "--count", "20000",
            "--seed", "4" } },
};

class EngineGenerate : public testing::TestWithParam<EngineRun> { };

TEST_P(EngineGenerate, WritesTheCommandLinesBytes)
{
    const engine::GenerateRequest request = parsed(GetParam().arguments).generate.request;
    StringSink sink;
    ASSERT_TRUE(engine::generateInto(request, *request.seed, kPinnedMonth, sink));
    const test::ProgramRun run = test::cli(GetParam().arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(sink.text, run.out);
}

INSTANTIATE_TEST_SUITE_P(Runs, EngineGenerate, testing::ValuesIn(kRuns),
    [](const auto& info) { return std::string(info.param.name); });

// A page shows progress between blocks and may stop there.
TEST(EngineGenerate, StopsBetweenBlocksWhenAsked)
{
    const engine::GenerateRequest request
        = parsed({ "generate", "--seed", "5", "--count", "40000" }).generate.request;
    StringSink whole;
    ASSERT_TRUE(engine::generateInto(request, 5, 0, whole));
    std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
    StringSink stopped;
    EXPECT_FALSE(engine::generateInto(request, 5, 0, stopped, [&](auto written, auto blocks) {
        calls.emplace_back(written, blocks);
        return false;
    }));
    EXPECT_EQ(calls, (std::vector<std::pair<std::uint64_t, std::uint64_t>> { { 1, 3 } }));
    EXPECT_EQ(stopped.text, whole.text.substr(0, stopped.text.size()));
    EXPECT_EQ(test::lines(stopped.text).size(), engine::kBlockNumbers);
}

// Every shape check reads, a byte order mark, CR LF, a lone CR, a header,
// unreadable and overlong lines, and a last line without its line end.
const std::string kCheckInput = "\xEF\xBB\xBF"
                                "4539 1488 0343 6467\n4539-1488-0343-6468\r\n"
                                "378282246310005 12/30 1234\nnumber,brand\n"
                                "4111111111111111,Visa,12/30,123\n"
                                R"({"number":"6011111111111117","brand":"Discover"})"
                                "\n45391488034364\rhello\n"
    + std::string(300, '7') + "\n3530 1113 3330 0000";

struct CheckPieces {
    const char* format;
    std::size_t piece;
    bool utf16 = false; // the same text in UTF-16LE, after its byte order mark
};

struct CheckedText {
    std::string verdicts, reports;
    int status;
};

CheckedText checkInPieces(const CheckPieces& p)
{
    StringSink sink;
    std::string reports;
    engine::CheckRequest request;
    request.format = *engine::formatNamed(p.format);
    engine::CheckReader reader(request, sink, [&](std::string_view message) {
        reports += "pellorin-cli check: " + std::string(message) + "\n";
    });
    reader.beginSource("(standard input)");
    const std::string input = p.utf16 ? test::utf16(kCheckInput.substr(3), false) : kCheckInput;
    for (std::size_t at = 0; at < input.size(); at += p.piece)
        EXPECT_TRUE(reader.feed(std::string_view(input).substr(at, p.piece)));
    reader.endSource();
    EXPECT_TRUE(reader.finish());
    reader.summarize();
    return { sink.text, reports, reader.status() };
}

class EngineCheck : public testing::TestWithParam<CheckPieces> { };

TEST_P(EngineCheck, PiecesGiveTheVerdictsOfTheWhole)
{
    const CheckedText pieces = checkInPieces(GetParam());
    const CheckedText whole = checkInPieces({ GetParam().format, kCheckInput.size() });
    EXPECT_EQ(pieces.verdicts, whole.verdicts);
    EXPECT_EQ(pieces.reports, whole.reports);
    EXPECT_EQ(pieces.status, whole.status);
    const test::ProgramRun run = test::cli({ "check", "--format", GetParam().format }, kCheckInput);
    EXPECT_EQ(pieces.verdicts, run.out);
    EXPECT_EQ(pieces.reports, run.err);
    EXPECT_EQ(pieces.status, run.status);
}

INSTANTIATE_TEST_SUITE_P(Pieces, EngineCheck,
    testing::Values(CheckPieces { "text", 1 }, CheckPieces { "text", 7 }, CheckPieces { "json", 2 },
        CheckPieces { "ndjson", 255 }, CheckPieces { "text", 1, true },
        CheckPieces { "json", 7, true }),
    [](const auto& info) {
        return test::spelledName(info.param.format) + "_" + std::to_string(info.param.piece)
            + (info.param.utf16 ? "_utf16" : "");
    });

// The quick lookup of check says what judgeNumber says, at both ends of every
// range and beside them, for numbers that begin or end their prefix's span.
TEST(NetworkLookup, SaysWhatTheTableSaysAtTheEdgesOfEveryRange)
{
    const engine::NetworkLookup& lookup = engine::NetworkLookup::instance();
    for (const Network& network : networkTable()) {
        for (const PrefixRange& range : network.ranges) {
            for (const std::string_view edge : { range.first, range.last }) {
                for (const int step : { -1, 0, 1 }) {
                    std::string prefix = std::to_string(std::stoll(std::string(edge)) + step);
                    if (prefix.size() < edge.size())
                        prefix.insert(0, edge.size() - prefix.size(), '0');
                    for (std::size_t length = 12; length <= 19; ++length) {
                        for (const char fill : { '0', '9' }) {
                            std::string digits = prefix;
                            digits.resize(length, fill);
                            const NumberVerdict verdict = judgeNumber(digits);
                            std::string names;
                            for (const std::string_view name : verdict.networks.names()) {
                                if (!names.empty())
                                    names += '|';
                                names += name;
                            }
                            const engine::PrefixVerdict& found = lookup.find(digits);
                            EXPECT_EQ(found.networks, names.empty() ? "unknown" : names) << digits;
                            EXPECT_EQ(found.noNetwork, verdict.networks.empty()) << digits;
                            EXPECT_EQ(found.wrongLength, verdict.wrongLength) << digits;
                        }
                    }
                }
            }
        }
    }
}

// The lines of `text` ending in `end`, and the rest after the last.
std::vector<std::string> linesOf(const std::string& text, std::string_view end)
{
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (std::size_t next; (next = text.find(end, at)) != std::string::npos; at = next + end.size())
        lines.push_back(text.substr(at, next - at));
    lines.push_back(text.substr(at));
    return lines;
}

struct LeftOutCase {
    const char* name;
    engine::Format format;
    std::size_t headLines, tailLines; // around the records
};

class EngineLeavesRowsOut : public testing::TestWithParam<LeftOutCase> { };

// A page's unticked rows: their records go, the others stay as they were,
// and the output around them stays whole, across a block's end.
TEST_P(EngineLeavesRowsOut, DropsExactlyTheirRecords)
{
    engine::GenerateRequest request = parsed(
        { "generate", "--brand", "discover", "--count", "16386", "--with-cvv", "--seed", "5" })
                                          .generate.request;
    request.format = GetParam().format;
    const std::set<std::uint64_t> leftOut { 0, 2, 16384, 16385 };
    engine::GeneratorOptions options;
    options.keep = [&](std::uint64_t row) { return !leftOut.contains(row); };
    StringSink all, kept;
    ASSERT_TRUE(engine::generateInto(request, 5, kPinnedMonth, all));
    ASSERT_TRUE(engine::generateInto(request, 5, kPinnedMonth, kept, {}, options));

    const std::string_view end
        = request.format == engine::Format::Csv || request.format == engine::Format::Table ? "\r\n"
                                                                                           : "\n";
    std::vector<std::string> lines = linesOf(all.text, end);
    const std::size_t head = GetParam().headLines;
    std::vector<std::string> expected(lines.begin(), lines.begin() + std::ptrdiff_t(head));
    for (std::size_t row = 0; row + head + GetParam().tailLines < lines.size(); ++row) {
        if (!leftOut.contains(row))
            expected.push_back(lines[head + row]);
    }
    if (request.format == engine::Format::Json) {
        for (std::size_t i = head; i < expected.size(); ++i) {
            if (expected[i].ends_with(','))
                expected[i].pop_back();
            if (i + 1 < expected.size())
                expected[i] += ',';
        }
    }
    expected.insert(
        expected.end(), lines.end() - std::ptrdiff_t(GetParam().tailLines), lines.end());
    std::string joined;
    for (std::size_t i = 0; i < expected.size(); ++i)
        joined += expected[i] + (i + 1 < expected.size() ? std::string(end) : "");
    EXPECT_EQ(kept.text, joined);
}

INSTANTIATE_TEST_SUITE_P(Formats, EngineLeavesRowsOut,
    testing::Values(LeftOutCase { "Text", engine::Format::Text, 0, 1 },
        LeftOutCase { "Csv", engine::Format::Csv, 1, 1 },
        LeftOutCase { "Json", engine::Format::Json, 1, 2 },
        LeftOutCase { "Ndjson", engine::Format::Ndjson, 0, 1 },
        LeftOutCase { "Table", engine::Format::Table, 1, 2 }),
    [](const auto& info) { return std::string(info.param.name); });

// The window's clipboard text: the table's rows without their filler and
// last TAB, and no header.
TEST(EngineLeavesRowsOut, ClipboardLayoutIsTheWindowsCopy)
{
    engine::GenerateRequest request
        = parsed({ "generate", "--brand", "amex", "--count", "3", "--seed", "8" }).generate.request;
    StringSink text, clipboard;
    ASSERT_TRUE(engine::generateInto(request, 8, kPinnedMonth, text));
    request.format = engine::Format::Table;
    engine::GeneratorOptions options;
    options.tableLayout = TableLayout::Clipboard;
    options.keep = [](std::uint64_t row) { return row != 1; };
    ASSERT_TRUE(engine::generateInto(request, 8, kPinnedMonth, clipboard, {}, options));
    const std::vector<std::string> numbers = linesOf(text.text, "\n");
    EXPECT_EQ(clipboard.text, numbers[0] + "\r\n" + numbers[2] + "\r\n");
}

} // namespace
