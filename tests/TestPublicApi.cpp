// The public API against pellorin-cli: the same refusals, cards, verdicts
// and networks, as a user of the library meets them.

#include "CommandLineRun.h"
#include "ParamName.h"

#include <pellorin/pellorin.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <deque>
#include <iterator>
#include <ranges>
#include <set>

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
    std::optional<request> asked; // none where a typed request cannot say it
    const char* field;
};

const Refused kRefused[] {
    { "UnknownBrandNearAnother", { "--brand", "visaa" }, request { .brand = "visaa" }, "brand" },
    { "UnknownRule", { "--invalid", "cvv" }, request { .invalid = "cvv" }, "invalid" },
    { "UnknownFormat", { "--format", "xml" }, request { .format = "xml" }, "format" },
    { "WrongLength", { "--length", "15" }, request { .length = 15 }, "length" },
    { "PrefixWithBrand", { "--brand", "visa", "--prefix", "4", "--length", "16" },
        request { .brand = "visa", .prefix = "4", .length = 16 }, "prefix" },
    { "PrefixWithoutLength", { "--prefix", "4" }, request { .prefix = "4" }, "length" },
    { "LongSeparator", { "--separator", "--" }, request { .separator = "--" }, "separator" },
    { "CountPastTheLargest", { "--count", "9223372036854775808" },
        request { .count = 9223372036854775808U }, "count" },
    { "NulEndedJson", { "--null", "--format", "json" }, request { .format = "json", .null = true },
        "null" },
    { "HeadingOfText", { "--no-header" }, request { .no_header = true }, "no_header" },
    { "WindowRangesOfMir", { "--brand", "mir", "--ranges", "window" },
        request { .brand = "mir", .ranges = "window" }, "ranges" },
    { "MoreUniqueThanThereAre",
        { "--prefix", "411111111", "--length", "12", "--count", "1001", "--unique" },
        request { .prefix = "411111111", .length = 12, .count = 1001, .unique = true }, "unique" },
    { "NegativeCount", { "--count", "-1" }, std::nullopt, "count" },
    { "LengthInWords", { "--length", "ten" }, std::nullopt, "length" },
    { "SeedPastTheLargest", { "--seed", "18446744073709551616" }, std::nullopt, "seed" },
    { "MisspeltOption", { "--fromat", "csv" }, std::nullopt, "fromat" },
};

// pellorin-cli's words as option pairs: "--with-expiry" is with_expiry.
std::vector<option> optionPairs(const std::vector<std::string>& words)
{
    static std::deque<std::string> names;
    const std::set<std::string> flags { "group", "unique", "with_expiry", "with_cvv", "null",
        "no_header" };
    std::vector<option> pairs;
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::string& name = names.emplace_back(words[i].substr(2));
        std::replace(name.begin(), name.end(), '-', '_');
        pairs.push_back({ name, flags.contains(name) ? std::string_view() : words[++i] });
    }
    return pairs;
}

class Refusals : public testing::TestWithParam<Refused> { };

TEST_P(Refusals, SayWhatTheCommandLineSays)
{
    std::vector<std::string> arguments { "generate" };
    arguments.insert(arguments.end(), GetParam().options.begin(), GetParam().options.end());
    const std::string expected = cliRefusal(arguments);
    const auto saysIt = [&](const auto& make) {
        try {
            make();
            ADD_FAILURE() << "made what pellorin-cli refuses: " << expected;
        } catch (const refusal& refused) {
            EXPECT_EQ(refused.what(), expected);
            EXPECT_EQ(refused.field(), GetParam().field);
        }
    };
    saysIt([&] { read_request(optionPairs(GetParam().options)); });
    if (const auto& asked = GetParam().asked) {
        saysIt([&] { generate(*asked); });
        // The range refuses before the first card is asked for.
        saysIt([&] { card_range { *asked }; });
    }
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
    { "PlainOverTwoBlocks", { .count = 20000, .seed = 5 } },
    { "GroupedWithExtras",
        { .brand = "amex", .group = true, .seed = 6, .with_expiry = true, .with_cvv = true } },
    { "SeparatorAndCode",
        { .brand = "jcb", .length = 19, .separator = "/", .seed = 7, .with_cvv = true } },
    { "OwnPrefixUniqueWithExpiry",
        { .prefix = "99",
            .length = 12,
            .count = 500,
            .seed = 8,
            .unique = true,
            .with_expiry = true } },
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

// Blocks made in any order, as threads make them, join to the output; a
// unique request's are made in order.
TEST(OutputBlocks, JoinToTheOutputInAnyOrder)
{
    request asked { .brand = "amex", .count = 40000, .seed = 9, .format = "csv" };
    const output_blocks blocks(asked);
    ASSERT_EQ(blocks.size(), 3U);
    EXPECT_FALSE(blocks.in_order());
    std::vector<std::string> made(blocks.size());
    for (std::uint64_t b = blocks.size(); b-- > 0;)
        made[b] = blocks.make(b);
    std::string joined;
    for (const std::string& block : made)
        joined += block;
    EXPECT_EQ(joined, generate(asked));
    asked.unique = true;
    EXPECT_TRUE(output_blocks(asked).in_order());
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
                              "4722331317561312 12/25 870\n"
                              "4722331317561312 13/29 870\n"
                              "4722331317561312 03/29 8701\n"
        + generate(records) + std::string(300, '1') + "\n";
    const test::ProgramRun run = test::cli({ "check", "--format", "ndjson" }, input);
    const std::vector<std::string> expected = test::lines(run.out);
    const std::vector<verdict> verdicts = check_lines(input, { .month = kPinnedMonth });
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
    // Both extras wrong: the command line says the first, the library both.
    const verdict extras = check("4722 3313 1756 1312\t12/25 8701", { .month = kPinnedMonth });
    EXPECT_EQ(extras.reasons, (std::vector<std::string> { "expired", "code" }));
    EXPECT_EQ(extras.expiry, "12/25");
    EXPECT_EQ(extras.cvv, "8701");
    EXPECT_TRUE(check("4722331317561312 01/26 870", { .month = kPinnedMonth }).valid);
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
        if (!n.validator_note.empty())
            listed.back()["validatorNote"] = n.validator_note;
    }
    EXPECT_EQ(listed, json::parse(run.out));
    EXPECT_EQ(networks_listing("json"), run.out);
    EXPECT_EQ(networks_listing(), test::cli({ "brands" }).out);
    for (const std::string format : { "xml", "jsn" }) {
        const std::string expected = cliRefusal({ "brands", "--format", format });
        EXPECT_THAT([&] { networks_listing(format); },
            testing::ThrowsMessage<refusal>(testing::StrEq(expected)));
    }
}

} // namespace
