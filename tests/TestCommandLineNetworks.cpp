// pellorin-cli with every card network: generate into check, numbers that
// are invalid on purpose, grouping, the network list and seeded output.

#include "CommandLineRun.h"
#include "Network.h"
#include "ParamName.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace pellorin::test;
using nlohmann::json;
using pellorin::judgeNumber;
using pellorin::Network;
using pellorin::NumberVerdict;

struct NetworkRow {
    std::string id;
    std::string name;
    std::vector<int> lengths;
};

// Every network brands lists, with its lengths. The published values are
// pinned elsewhere, once: the core's table by TestNetworkTable.cpp and the
// documentation's network table against brands by TestCommandLineGolden.cpp.
// A brands that fails stops the test list, loudly, rather than leaving it
// empty.
const std::vector<NetworkRow>& listedNetworks()
{
    static const std::vector<NetworkRow> rows = [] {
        const ProgramRun run = cli({ "brands", "--format", "json" });
        if (run.status != 0)
            throw std::runtime_error("pellorin-cli brands failed: " + run.err);
        std::vector<NetworkRow> listed;
        for (const json& network : json::parse(run.out))
            listed.push_back({ network["id"], network["name"], network["lengths"] });
        return listed;
    }();
    return rows;
}

// check's verdicts on what generate wrote, as JSON objects.
std::vector<json> checked(const std::string& generateArguments, int* status = nullptr)
{
    const ProgramRun run
        = shell("\"$CLI\" generate " + generateArguments + " | \"$CLI\" check --format ndjson");
    if (status != nullptr)
        *status = run.status;
    std::vector<json> verdicts;
    for (const std::string& line : lines(run.out))
        verdicts.push_back(json::parse(line));
    return verdicts;
}

bool names(const json& verdict, const std::string& network)
{
    for (const auto& name : verdict["networks"]) {
        if (name == network)
            return true;
    }
    return false;
}

class EveryNetwork : public testing::TestWithParam<NetworkRow> { };

TEST_P(EveryNetwork, EveryLengthComesBackFromCheckAsTheNetworkAndValid)
{
    const NetworkRow& row = GetParam();
    for (const int length : row.lengths) {
        const std::string arguments = "--brand " + row.id + " --length " + std::to_string(length)
            + " --count 300 --seed 5 --format csv";
        int status = -1;
        const std::vector<json> verdicts = checked(arguments, &status);
        EXPECT_EQ(status, 0) << arguments;
        ASSERT_EQ(verdicts.size(), 300U) << arguments;
        for (const json& verdict : verdicts) {
            ASSERT_EQ(verdict["number"].get<std::string>().size(), std::size_t(length));
            ASSERT_TRUE(verdict["valid"].get<bool>()) << verdict;
            ASSERT_TRUE(names(verdict, row.name)) << verdict;
        }
    }
}

TEST_P(EveryNetwork, EachInvalidRuleIsExactlyTheFailureCheckReports)
{
    const NetworkRow& row = GetParam();
    for (const std::string rule : { "luhn", "length", "prefix" }) {
        const std::string arguments
            = "--brand " + row.id + " --invalid " + rule + " --count 300 --seed 6 --format json";
        const std::vector<json> verdicts = checked(arguments);
        ASSERT_EQ(verdicts.size(), 300U) << arguments;
        for (const json& verdict : verdicts) {
            const std::size_t length = verdict["number"].get<std::string>().size();
            if (rule == "prefix") {
                ASSERT_FALSE(verdict["valid"].get<bool>()) << verdict;
                ASSERT_EQ(verdict["reason"], "prefix") << verdict;
                ASSERT_TRUE(verdict["networks"].empty()) << verdict;
                continue;
            }
            ASSERT_FALSE(verdict["valid"].get<bool>()) << verdict;
            ASSERT_EQ(verdict["reason"], rule) << verdict;
            // A length no card has belongs to no network.
            if (length >= 12) {
                ASSERT_TRUE(names(verdict, row.name)) << verdict;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Table, EveryNetwork, testing::ValuesIn(listedNetworks()),
    [](const auto& info) { return spelledName(info.param.id); });

TEST(Generate, InvalidNumbersSayWhichRuleTheyBreak)
{
    EXPECT_EQ(cli({ "generate", "--brand", "verve", "--invalid", "length", "--count", "2", "--seed",
                      "42", "--format", "ndjson" })
                  .out,
        "{\"number\":\"50788422371\",\"brand\":\"Verve\",\"invalid\":\"length\"}\n"
        "{\"number\":\"50613107304\",\"brand\":\"Verve\",\"invalid\":\"length\"}\n");
    EXPECT_EQ(cli({ "generate", "--brand", "mir", "--invalid", "luhn", "--count", "1", "--seed",
                      "1", "--format", "csv" })
                  .out.substr(0, 23),
        "number,brand,invalid\r\n2");
}

// What a record's extras break, as check names it ("expired", "invalid
// expiry", "invalid code"), or "" when both are valid: an expiry 1 to 60
// months after the pinned January 2026 and a code of the network's length.
std::string brokenExtras(const std::string& expiry, const std::string& code, std::size_t digits)
{
    std::vector<std::string> broken;
    const int month = std::stoi(expiry.substr(0, 2));
    const int year = 2000 + std::stoi(expiry.substr(3, 2));
    const int ahead = (year - 2026) * 12 + month - 1;
    const bool wellFormed = expiry.size() == 5 && expiry[2] == '/';
    if (wellFormed && (month < 1 || month > 12))
        broken.emplace_back(year > 2026 ? "invalid expiry" : "invalid expiry, and passed");
    else if (wellFormed && ahead < 0)
        broken.emplace_back(ahead >= -60 ? "expired" : "expired long ago");
    else if (!wellFormed || ahead == 0 || ahead > 60)
        broken.emplace_back("expiry " + expiry);
    if (code.size() != digits || code.find_first_not_of("0123456789") != std::string::npos)
        broken.emplace_back(code.size() == (digits == 4 ? 3 : 4) ? "invalid code" : "code " + code);
    std::string text;
    for (const std::string& b : broken)
        text += (text.empty() ? "" : "; ") + b;
    return text;
}

// The fields of a csv line generate wrote (none is quoted).
std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> cells { "" };
    for (const char c : line) {
        if (c == ',')
            cells.emplace_back();
        else if (c != '\r')
            cells.back() += c;
    }
    return cells;
}

struct ExtrasRow {
    std::string rule; // --invalid, or empty
    std::string implied; // the heading without --with-expiry --with-cvv
    std::string broken; // as brokenExtras says
};

class ExtrasRule : public testing::TestWithParam<ExtrasRow> { };

// A rule of the extras writes its extra without being asked, breaks exactly
// that one, and leaves the number and the other extra valid.
TEST_P(ExtrasRule, BreaksExactlyItsExtraForEveryNetwork)
{
    const ExtrasRow& row = GetParam();
    for (const NetworkRow& network : listedNetworks()) {
        std::vector<std::string> arguments { "generate", "--brand", network.id, "--format", "csv",
            "--seed", "8", "--count" };
        if (!row.rule.empty())
            arguments.insert(arguments.begin() + 1, { "--invalid", row.rule });
        arguments.emplace_back("1");
        EXPECT_EQ(lines(cli(arguments).out).at(0), row.implied + "\r") << network.id;
        arguments.back() = "300";
        arguments.insert(arguments.end(), { "--with-expiry", "--with-cvv" });
        const std::vector<std::string> records = lines(cli(arguments).out);
        ASSERT_EQ(records.size(), 301U) << network.id;
        const std::vector<std::string> heading = fields(records[0]);
        const std::size_t expiry = heading.size() - 2, code = heading.size() - 1;
        for (std::size_t r = 1; r < records.size(); ++r) {
            const std::vector<std::string> record = fields(records[r]);
            ASSERT_EQ(record.size(), heading.size()) << records[r];
            const NumberVerdict verdict = judgeNumber(record[0]);
            ASSERT_TRUE(verdict.valid()) << records[r];
            ASSERT_NE(verdict.networks.all().end(),
                std::find_if(verdict.networks.all().begin(), verdict.networks.all().end(),
                    [&](const Network* n) { return n->name == network.name; }))
                << records[r];
            ASSERT_EQ(brokenExtras(record[expiry], record[code], network.id == "amex" ? 4 : 3),
                row.broken)
                << records[r];
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, ExtrasRule,
    testing::Values(ExtrasRow { "", "number,brand", "" },
        ExtrasRow { "expiry", "number,brand,invalid,expiry", "expired" },
        ExtrasRow { "month", "number,brand,invalid,expiry", "invalid expiry" },
        ExtrasRow { "code", "number,brand,invalid,cvv", "invalid code" }),
    [](const auto& info) { return info.param.rule.empty() ? "none" : info.param.rule; });

struct GoldenRow {
    std::vector<std::string> arguments;
    std::string out;
};

class SeededOutput : public testing::TestWithParam<GoldenRow> { };

// A seeded run's bytes are part of what a version promises.
TEST_P(SeededOutput, IsTheSameBytes)
{
    std::vector<std::string> arguments { "generate", "--count", "2", "--seed", "42" };
    arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    EXPECT_EQ(cli(arguments).out, GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Networks, SeededOutput,
    testing::Values(GoldenRow { { "--brand", "jcb" }, "3573036992616867\n3544735346279142\n" },
        GoldenRow { { "--brand", "diners" }, "38541989127302\n30578919049238\n" },
        GoldenRow { { "--brand", "unionpay" }, "6262836975019669\n6214752012005190\n" },
        GoldenRow { { "--brand", "maestro" }, "6759365069846472\n5020443288488387\n" },
        GoldenRow { { "--brand", "mir" }, "2202980594359155\n2200801826937992\n" },
        GoldenRow { { "--brand", "rupay" }, "8175204770206811\n6040551301114089\n" },
        GoldenRow { { "--brand", "elo" }, "5095645967381929\n5090926757147695\n" },
        GoldenRow { { "--brand", "hipercard" }, "3841603844754877\n3841006414615504\n" },
        GoldenRow { { "--brand", "troy" }, "9792596118871839\n9792160365387591\n" },
        GoldenRow { { "--brand", "verve" }, "5078842237743662\n5061310730775192\n" },
        GoldenRow { { "--brand", "uatp" }, "159552275295839\n116020502221095\n" },
        GoldenRow { { "--brand", "dankort" }, "5019596118871834\n5019160365387596\n" },
        // The window's brands keep the window's numbers.
        GoldenRow { { "--brand", "amex" }, "372861452359149\n372034679666973\n" },
        GoldenRow { { "--brand", "jcb", "--group", "--with-cvv", "--format", "csv" },
            "number,brand,cvv\r\n3573 0369 9261 6867,JCB,599\r\n3544 7353 4627 9142,JCB,796\r\n" },
        GoldenRow { { "--brand", "diners", "--invalid", "prefix", "--format", "json", "--group",
                        "--separator", "-" },
            "[\n{\"number\":\"8868-536722-2521\",\"brand\":\"Diners Club\",\"invalid\":\"prefix\"},"
            "\n{\"number\":\"7448-862719-8888\",\"brand\":\"Diners Club\",\"invalid\":\"prefix\"}"
            "\n]\n" }),
    [](const auto& info) { return "Row" + std::to_string(info.index); });

struct GroupRow {
    std::string name;
    std::vector<std::string> arguments;
    std::string first;
};

class Grouping : public testing::TestWithParam<GroupRow> { };

// The groups by length, in text; check reads a dash-grouped number back with
// its extras.
TEST_P(Grouping, PrintsTheNetworksGroupsForTheLength)
{
    std::vector<std::string> arguments { "generate", "--count", "1", "--seed", "3", "--group" };
    arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    const ProgramRun run = cli(arguments);
    EXPECT_EQ(lines(run.out).at(0), GetParam().first);
}

INSTANTIATE_TEST_SUITE_P(Lengths, Grouping,
    testing::Values(
        GroupRow { "Maestro12", { "--brand", "maestro", "--length", "12" }, "6762 3382 5261" },
        GroupRow { "Visa13", { "--brand", "visa", "--length", "13" }, "4815 3614 05415" },
        GroupRow { "Diners14", { "--brand", "diners" }, "3933 345467 3559" },
        GroupRow { "Amex15Dashes", { "--brand", "amex", "--separator", "-" }, "3732-273426-41931" },
        GroupRow { "Uatp15", { "--brand", "uatp" }, "1815 54604 401015" },
        GroupRow { "Visa16", { "--brand", "visa" }, "4722 9754 5136 3446" },
        GroupRow {
            "Discover17", { "--brand", "discover", "--length", "17" }, "6570 2731 8627 19063" },
        GroupRow { "Verve18", { "--brand", "verve", "--length", "18" }, "5079 2807 2281 0831 15" },
        GroupRow {
            "Unionpay19", { "--brand", "unionpay", "--length", "19" }, "6283 0132 4929 8232 178" }),
    [](const auto& info) { return info.param.name; });

TEST(Brands, ListsEveryNetworkInTextAndJson)
{
    const ProgramRun text = cli({ "brands" });
    EXPECT_EQ(text.status, 0);
    const std::vector<std::string> rows = lines(text.out);
    EXPECT_TRUE(rows[0].starts_with("ID")) << rows[0];
    // The text lists json's networks, in its order.
    const std::vector<NetworkRow>& networks = listedNetworks();
    std::size_t network = 0;
    for (const std::string& row : rows) {
        EXPECT_LE(row.size(), 79U) << row;
        if (network < networks.size() && row.starts_with(networks[network].id + " "))
            ++network;
    }
    EXPECT_EQ(network, networks.size()) << text.out;
    EXPECT_NE(text.out.find("\njcb         JCB               15-19       3     4-4-4-4  "
                            "3528-3589 (16-19)*,\n"
                            "                                                         2131 (15), "
                            "1800 (15)*\n"),
        std::string::npos)
        << text.out;

    const json list = json::parse(cli({ "brands", "--format", "json" }).out);
    ASSERT_GT(list.size(), 12U); // the rows read below
    EXPECT_EQ(list[2]["codeLength"], 4);
    EXPECT_EQ(list[2]["groups"]["15"], "4-6-5");
    EXPECT_EQ(list[4]["ranges"][1],
        json::parse(R"({"first":"2131","last":"2131","lengths":[15],"sharedWith":[]})"));
    EXPECT_EQ(
        list[12]["ranges"][0]["sharedWith"], json::parse(R"(["discover","rupay","elo","verve"])"));
    // A rule another validator skips by design is said, not left to be found.
    EXPECT_NE(text.out.find("\nUnionPay: card-validator (npm) skips the Luhn test for UnionPay"),
        std::string::npos);
    for (const json& listed : list)
        EXPECT_EQ(listed.contains("validatorNote"), listed["id"] == "unionpay") << listed["id"];
    EXPECT_NE(list[6].value("validatorNote", "").find("--invalid luhn"), std::string::npos);
}

TEST(Check, JsonIsOneArrayAndEmptyInputAnEmptyOne)
{
    EXPECT_EQ(cli({ "check", "--format", "json" }, "").out, "[]\n");
    EXPECT_EQ(cli({ "check", "--format", "json" }, "3530111333300000\n4539148803436468\n").out,
        "[\n{\"line\":1,\"number\":\"3530111333300000\",\"valid\":true,\"networks\":[\"JCB\","
        "\"RuPay\"]},\n{\"line\":2,\"number\":\"4539148803436468\",\"valid\":false,\"reason\":"
        "\"luhn\",\"networks\":[\"Visa\"]}\n]\n");
}

struct UsageRow {
    std::string name;
    std::vector<std::string> arguments;
    std::string message;
};

class NetworkUsage : public testing::TestWithParam<UsageRow> { };

TEST_P(NetworkUsage, IsRefusedWithTheReason)
{
    std::vector<std::string> arguments { "generate" };
    arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    const ProgramRun run = cli(arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(lines(run.err).at(0), "pellorin-cli: error: " + GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Arguments, NetworkUsage,
    testing::Values(UsageRow { "LengthNotIssued", { "--brand", "visa", "--length", "15" },
                        "--length: Visa numbers have 13, 16 or 19 digits, got '15'" },
        UsageRow { "WrongLengthThatIsIssued",
            { "--brand", "rupay", "--invalid", "length", "--length", "16" },
            "--length: RuPay numbers of a wrong length may have 12, 13, 14 or 15 digits, got "
            "'16'" },
        // A length no network issues for the prefix, but other validators
        // take.
        UsageRow { "WrongLengthThatValidatorsTake",
            { "--brand", "visa", "--invalid", "length", "--length", "18" },
            "--length: Visa numbers of a wrong length may have 12, 14, 15 or 17 digits, got "
            "'18', a length other card validators take for its prefixes" },
        UsageRow { "WrongLengthOnlyOutsideEveryCard",
            { "--brand", "dankort", "--invalid", "length", "--length", "15" },
            "--length: Dankort numbers of a wrong length may have 11 digits, got '15', a length "
            "other card validators take for its prefixes" },
        UsageRow { "ExtrasRuleUnknown", { "--invalid", "cvv" },
            "--invalid: expected luhn, length, prefix, expiry, month or code, got 'cvv'" },
        UsageRow { "WindowRangesAtALengthTheWindowNeverMakes",
            { "--brand", "visa", "--ranges", "window", "--length", "13" },
            "--ranges window: the window's Visa numbers have 16 digits, got --length 13" },
        UsageRow { "WindowRangesOfDiscoverAt17",
            { "--brand", "discover", "--length", "17", "--ranges", "window" },
            "--ranges window: the window's Discover numbers have 16 digits, got --length 17" },
        UsageRow { "WindowRangesOfANewNetwork", { "--brand", "jcb", "--ranges", "window" },
            "--ranges window: only visa, mastercard, amex and discover have the window's numbers; "
            "jcb draws from the prefixes it alone claims, or all with --ranges network" },
        UsageRow { "InvalidPrefixWithOwnPrefix",
            { "--prefix", "4111", "--length", "16", "--invalid", "prefix" },
            "--invalid prefix cannot be used with --prefix" },
        UsageRow { "LetterSeparator", { "--separator", "x" },
            "--separator: expected one character other than a digit, letter, comma, quote or "
            "backslash, got 'x'" }),
    [](const auto& info) { return info.param.name; });

} // namespace
