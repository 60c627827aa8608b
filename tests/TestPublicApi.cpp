// The public API against pellorin-cli: the same refusals, cards, verdicts
// and networks, as a user of the library meets them.

#include "CommandLineRun.h"
#include "ParamName.h"

#include <pellorin/pellorin.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <iterator>
#include <ranges>

namespace {

using namespace pellorin;
using nlohmann::json;

constexpr std::chrono::year_month kPinnedMonth = std::chrono::year { 2026 } / std::chrono::January;

// What pellorin-cli prints for a usage error, without its name and the line
// that points to the help.
std::string cliRefusal(const std::vector<std::string>& arguments)
{
    const test::ProgramRun run = test::cli(arguments);
    EXPECT_EQ(run.status, 2);
    const std::string prefix = "pellorin-cli: error: ";
    EXPECT_TRUE(run.err.starts_with(prefix)) << run.err;
    return run.err.substr(prefix.size(), run.err.find('\n') - prefix.size());
}

struct Refused {
    const char* name;
    std::vector<std::string> options; // after "generate"
    request asked;
    const char* field;
};

request with(auto change)
{
    request r;
    change(r);
    return r;
}

const Refused kRefused[] {
    { "UnknownBrandNearAnother", { "--brand", "visaa" }, with([](auto& r) { r.brand = "visaa"; }),
        "brand" },
    { "UnknownRule", { "--invalid", "cvv" }, with([](auto& r) { r.invalid = "cvv"; }), "invalid" },
    { "UnknownFormat", { "--format", "xml" }, with([](auto& r) { r.format = "xml"; }), "format" },
    { "WrongLength", { "--length", "15" }, with([](auto& r) { r.length = 15; }), "length" },
    { "PrefixWithBrand", { "--brand", "visa", "--prefix", "4", "--length", "16" },
        with([](auto& r) {
            r.brand = "visa";
            r.prefix = "4";
            r.length = 16;
        }),
        "prefix" },
    { "PrefixWithoutLength", { "--prefix", "4" }, with([](auto& r) { r.prefix = "4"; }), "length" },
    { "LongSeparator", { "--separator", "--" }, with([](auto& r) { r.separator = "--"; }),
        "separator" },
    { "CountPastTheLargest", { "--count", "9223372036854775808" },
        with([](auto& r) { r.count = 9223372036854775808U; }), "count" },
    { "NulEndedJson", { "--null", "--format", "json" }, with([](auto& r) {
         r.null = true;
         r.format = "json";
     }),
        "null" },
    { "HeadingOfText", { "--no-header" }, with([](auto& r) { r.no_header = true; }), "no_header" },
    { "WindowRangesOfMir", { "--brand", "mir", "--ranges", "window" }, with([](auto& r) {
         r.brand = "mir";
         r.ranges = "window";
     }),
        "ranges" },
    { "MoreUniqueThanThereAre",
        { "--prefix", "411111111", "--length", "12", "--count", "1001", "--unique" },
        with([](auto& r) {
            r.prefix = "411111111";
            r.length = 12;
            r.count = 1001;
            r.unique = true;
        }),
        "unique" },
};

class Refusals : public testing::TestWithParam<Refused> { };

TEST_P(Refusals, SayWhatTheCommandLineSays)
{
    std::vector<std::string> arguments { "generate" };
    arguments.insert(arguments.end(), GetParam().options.begin(), GetParam().options.end());
    const std::string expected = cliRefusal(arguments);
    try {
        generate(GetParam().asked);
        FAIL() << "made output for a request pellorin-cli refuses: " << expected;
    } catch (const refusal& refused) {
        EXPECT_EQ(refused.what(), expected);
        EXPECT_EQ(refused.field(), GetParam().field);
    }
    // The range refuses before the first card is asked for.
    EXPECT_THROW(card_range { GetParam().asked }, std::invalid_argument);
}

INSTANTIATE_TEST_SUITE_P(Requests, Refusals, testing::ValuesIn(kRefused),
    [](const auto& info) { return std::string(info.param.name); });

// The cards' fields put back together as text records are pellorin-cli's
// text output, block boundaries included.
struct CardRun {
    const char* name;
    request asked;
};

const CardRun kCardRuns[] {
    { "PlainOverTwoBlocks", with([](auto& r) {
         r.count = 20000;
         r.seed = 5;
     }) },
    { "GroupedWithExtras", with([](auto& r) {
         r.brand = "amex";
         r.group = true;
         r.with_expiry = true;
         r.with_cvv = true;
         r.seed = 6;
     }) },
    { "SeparatorAndCode", with([](auto& r) {
         r.brand = "jcb";
         r.length = 19;
         r.separator = "/";
         r.with_cvv = true;
         r.seed = 7;
     }) },
    { "OwnPrefixUniqueWithExpiry", with([](auto& r) {
         r.prefix = "99";
         r.length = 12;
         r.unique = true;
         r.count = 500;
         r.with_expiry = true;
         r.seed = 8;
     }) },
};

class Cards : public testing::TestWithParam<CardRun> { };

TEST_P(Cards, AreTheTextOutputsRecords)
{
    request asked = GetParam().asked;
    asked.month = kPinnedMonth;
    std::string text;
    std::uint64_t cards = 0;
    for (const card& c : card_range(asked)) {
        text.append(c.number());
        const bool blankGroups = asked.group && asked.separator.empty();
        if (asked.with_expiry)
            text.append(blankGroups ? "\t" : " ").append(c.expiry());
        if (asked.with_cvv)
            text.append(blankGroups && !asked.with_expiry ? "\t" : " ").append(c.cvv());
        text += '\n';
        ++cards;
    }
    EXPECT_EQ(cards, asked.count);
    EXPECT_EQ(text, generate(asked));
}

INSTANTIATE_TEST_SUITE_P(Requests, Cards, testing::ValuesIn(kCardRuns),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Cards, NameTheirNetworkAndComeAgainFromTheirSeed)
{
    request asked;
    asked.prefix = "3530";
    asked.length = 16;
    asked.count = 50;
    card_range first(asked);
    static_assert(std::ranges::input_range<card_range>);
    std::vector<std::string> numbers;
    for (const card& c : first) {
        EXPECT_EQ(c.network(), "JCB");
        numbers.emplace_back(c.number());
    }
    asked.seed = first.seed();
    std::vector<std::string> again;
    for (const card& c : card_range(asked))
        again.emplace_back(c.number());
    EXPECT_EQ(again, numbers);
}

// generate_to_n into a caller's buffer: as much as fits, and whether more
// was to come, also for a buffer that ends exactly with the output.
TEST(GenerateToN, FillsTheBufferAndTellsACutOutput)
{
    request asked;
    asked.count = 20000;
    asked.seed = 3;
    const std::string whole = generate(asked);
    for (const std::size_t size : { std::size_t { 0 }, std::size_t { 100 }, std::size_t { 300000 },
             whole.size(), whole.size() + 1 }) {
        std::string buffer(size, '\0');
        const auto result = generate_to_n(buffer.data(), size, asked);
        const std::size_t fits = std::min(size, whole.size());
        EXPECT_EQ(result.size, fits) << size;
        EXPECT_EQ(result.out, buffer.data() + fits) << size;
        EXPECT_EQ(result.truncated, size < whole.size()) << size;
        EXPECT_EQ(buffer.substr(0, fits), whole.substr(0, fits)) << size;
    }
    std::vector<char> appended { 'x' };
    generate_to(std::back_inserter(appended), asked);
    EXPECT_EQ(std::string_view(appended.data() + 1, appended.size() - 1), whole);
}

// check_lines' verdicts are pellorin-cli check's ndjson records, line for
// line, for every shape of line it reads.
TEST(Check, JudgesAsTheCommandLine)
{
    request records;
    records.brand = "amex";
    records.count = 3;
    records.seed = 4;
    records.format = "csv";
    records.with_cvv = true;
    const std::string input = "4539 1488 0343 6467\n"
                              "4111111111111112\n"
                              "\n"
                              "12345\n"
                              "6011-0000-0000-0004\n"
                              "9999999999999995\n"
                              "not a number\n"
                              "3530111333300000 10/29 123\n"
        + generate(records) + std::string(300, '1') + "\n";
    const test::ProgramRun run = test::cli({ "check", "--format", "ndjson" }, input);
    const std::vector<std::string> expected = test::lines(run.out);
    const std::vector<verdict> verdicts = check_lines(input);
    ASSERT_EQ(verdicts.size(), expected.size()) << run.out;
    for (std::size_t i = 0; i < verdicts.size(); ++i) {
        const json cli = json::parse(expected[i]);
        const verdict& v = verdicts[i];
        SCOPED_TRACE(expected[i]);
        EXPECT_EQ(v.line, cli["line"].get<std::uint64_t>());
        EXPECT_EQ(v.valid, cli["valid"].get<bool>());
        EXPECT_EQ(v.reasons,
            cli.contains("reason") ? std::vector { cli["reason"].get<std::string>() }
                                   : std::vector<std::string> {});
        EXPECT_EQ(v.number, cli.value("number", ""));
        EXPECT_EQ(v.problem, cli.value("problem", ""));
        EXPECT_EQ(std::vector<std::string>(v.networks.begin(), v.networks.end()),
            cli.value("networks", std::vector<std::string> {}));
    }
}

TEST(Check, JudgesOneNumberAndTellsAnEmptyLine)
{
    const verdict unknown = check("9999999999999995");
    EXPECT_EQ(unknown.reasons, std::vector<std::string> { "prefix" });
    EXPECT_TRUE(check("9999999999999995", { .allow_unknown = true }).valid);
    const verdict blank = check("  ");
    EXPECT_FALSE(blank.valid);
    EXPECT_EQ(blank.reasons, std::vector<std::string> { "unreadable" });
}

// networks() holds what pellorin-cli brands --format json lists.
TEST(Networks, AreTheBrandsListing)
{
    const test::ProgramRun run = test::cli({ "brands", "--format", "json" });
    ASSERT_EQ(run.status, 0) << run.err;
    json listed = json::array();
    for (const network_info& n : networks()) {
        json ranges = json::array();
        for (const prefix_range& r : n.ranges)
            ranges.push_back({ { "first", r.first }, { "last", r.last }, { "lengths", r.lengths },
                { "sharedWith", r.shared_with } });
        json groups = json::object();
        for (const group_rule& g : n.groups)
            groups[std::to_string(g.length)] = g.groups;
        listed.push_back({ { "id", n.id }, { "name", n.name }, { "ranges", ranges },
            { "lengths", n.lengths }, { "commonLength", n.common_length },
            { "codeLength", n.code_length }, { "groups", groups } });
    }
    EXPECT_EQ(listed, json::parse(run.out));
}

} // namespace
