// The engine as another face drives it: on one thread, into a plain sink,
// fed its input in pieces. Its bytes must be the command line's.

#include "CheckReader.h"
#include "CommandLine.h"
#include "CommandLineRun.h"
#include "Generator.h"
#include "ParamName.h"
#include "Sink.h"

#include <gtest/gtest.h>

#include <string>
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

// Every shape check reads, a byte order mark, CR LF, a header, unreadable and
// overlong lines, and a last line without its line end.
const std::string kCheckInput = "\xEF\xBB\xBF"
                                "4539 1488 0343 6467\n4539-1488-0343-6468\r\n"
                                "378282246310005 12/30 1234\nnumber,brand\n"
                                "4111111111111111,Visa,12/30,123\n"
                                R"({"number":"6011111111111117","brand":"Discover"})"
                                "\n45391488034364\nhello\n"
    + std::string(300, '7') + "\n3530 1113 3330 0000";

struct CheckPieces {
    const char* format;
    std::size_t piece;
};

struct CheckedText {
    std::string verdicts, reports;
    int status;
};

CheckedText checkInPieces(const CheckPieces& p)
{
    StringSink sink;
    std::string reports;
    const engine::CheckRequest request { *engine::formatNamed(p.format), false };
    engine::CheckReader reader(request, sink, [&](std::string_view message) {
        reports += "pellorin-cli check: " + std::string(message) + "\n";
    });
    reader.beginSource("(standard input)");
    for (std::size_t at = 0; at < kCheckInput.size(); at += p.piece)
        EXPECT_TRUE(reader.feed(std::string_view(kCheckInput).substr(at, p.piece)));
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
        CheckPieces { "ndjson", 255 }),
    [](const auto& info) {
        return test::spelledName(info.param.format) + "_" + std::to_string(info.param.piece);
    });

} // namespace
