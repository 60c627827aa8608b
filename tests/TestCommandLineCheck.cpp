// pellorin-cli check run as scripts run it: on what generate writes, on
// numbers as people type them, and on input that is no number at all.

#include "CheckRun.h"
#include "CommandLineRun.h"
#include "Network.h"
#include "ParamName.h"
#include "Utf16Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <tuple>

namespace {

using namespace pellorin;
using test::cli;
using test::lines;
using test::ProgramRun;
using test::shell;
using test::utf16;

struct BrandArguments {
    const char* arguments;
    const char* name; // as both commands print it
};

const BrandArguments kBrands[] {
    { "--brand visa", "Visa" },
    { "--brand mastercard", "Mastercard" },
    { "--brand amex", "American Express" },
    { "--brand discover", "Discover" },
    { "--prefix 37 --length 15", "American Express" },
    { "--prefix 6011 --length 19", "Discover" },
};

class GenerateIntoCheck : public testing::TestWithParam<std::tuple<const char*, const char*>> { };

TEST_P(GenerateIntoCheck, EveryNumberIsValidWithTheBrandGenerateNamed)
{
    const auto [format, extras] = GetParam();
    for (const BrandArguments& b : kBrands) {
        const ProgramRun run = shell(std::string("\"$CLI\" generate --count 1000 --format ")
            + format + " " + extras + " " + b.arguments + " | \"$CLI\" check");
        EXPECT_EQ(run.status, 0) << b.arguments << "\n" << run.err;
        EXPECT_EQ(run.err, "pellorin-cli check: 1000 numbers: 1000 valid, 0 invalid\n")
            << b.arguments;
        const auto verdicts = lines(run.out);
        ASSERT_EQ(verdicts.size(), 1000u) << b.arguments;
        // The brand is one of the networks named: a window Visa prefix such
        // as 431274 is Elo's too.
        for (const std::string& verdict : verdicts) {
            const std::size_t at = verdict.find(" valid ");
            ASSERT_NE(at, std::string::npos) << verdict;
            std::string networks(1, '|');
            networks.append(verdict, at + 7).push_back('|');
            std::string wanted(1, '|');
            wanted.append(b.name).push_back('|');
            ASSERT_NE(networks.find(wanted), std::string::npos) << verdict;
        }
        if (std::string(format) != "text" && std::string(format) != "table") {
            const ProgramRun record = shell(
                std::string("\"$CLI\" generate --count 1 --format ") + format + " " + b.arguments);
            EXPECT_NE(record.out.find(b.name), std::string::npos)
                << "status " << record.status << "\n"
                << record.err << record.out;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(FormatsAndExtras, GenerateIntoCheck,
    testing::Combine(testing::Values("text", "csv", "json", "ndjson", "table"),
        testing::Values("", "--with-expiry", "--with-cvv", "--with-expiry --with-cvv")),
    [](const auto& info) {
        return std::string(std::get<0>(info.param)) + "_"
            + test::spelledName(std::get<1>(info.param));
    });

// A way generate makes numbers and the verdict check must give each.
struct Mode {
    const char* arguments;
    const char* verdict; // in every verdict line
};

void PrintTo(const Mode& m, std::ostream* os)
{
    *os << m.arguments;
}

const Mode kModes[] {
    { "", " valid " },
    { "--invalid luhn", " invalid luhn " },
    { "--invalid prefix", " invalid prefix " },
    { "--invalid length", " invalid length" },
    { "--invalid expiry", " expired " },
    { "--invalid month", " invalid expiry " },
    { "--invalid code", " invalid code " },
};

class RoundTrip : public testing::TestWithParam<std::tuple<const Network*, Mode>> { };

// Every record generate writes reads back as exactly its number, with the
// verdict it was made for: in every format, with every extra, ungrouped or
// grouped with any separator (those that also part fields among them).
TEST_P(RoundTrip, EveryRecordReadsBackAsItsNumberAndVerdict)
{
    const auto [network, mode] = GetParam();
    const std::string generate = "\"$CLI\" generate --count 40 --seed 11 --brand "
        + std::string(network->id) + " " + mode.arguments;
    const ProgramRun base = shell(generate + " | \"$CLI\" check 2>&1; echo status $?");
    const auto verdicts = lines(base.out);
    ASSERT_EQ(verdicts.size(), 42u) << base.out;
    for (std::size_t i = 0; i < 40; ++i)
        ASSERT_NE(verdicts[i].find(mode.verdict), std::string::npos) << verdicts[i];
    // Each case in one shell: "== arguments", then what check says.
    std::string script, expected;
    for (const char* format : { "text", "csv", "tsv", "json", "ndjson", "table" }) {
        for (const char* grouping : { "", "--group", "--separator -", "--separator /",
                 "--separator :", "--separator ';'" }) {
            for (const char* extras :
                { "", "--with-expiry", "--with-cvv", "--with-expiry --with-cvv" }) {
                const std::string arguments
                    = std::string("--format ") + format + " " + grouping + " " + extras;
                script.append("echo \"== ").append(arguments).append("\"; ");
                script.append(generate).append(" ").append(arguments);
                script += " | \"$CLI\" check 2>&1; echo status $?\n";
                expected.append("== ").append(arguments).append("\n").append(base.out);
            }
        }
    }
    const ProgramRun run = shell(script);
    if (run.out != expected) {
        // The case where they part, as check read it.
        const auto at = std::size_t(
            std::mismatch(run.out.begin(), run.out.end(), expected.begin(), expected.end()).first
            - run.out.begin());
        const std::size_t from = run.out.rfind("== ", at);
        FAIL() << run.out.substr(from == std::string::npos ? 0 : from, 600);
    }
}

INSTANTIATE_TEST_SUITE_P(Networks, RoundTrip,
    testing::Combine(testing::ValuesIn([] {
        std::vector<const Network*> all;
        for (const Network& network : networkTable())
            all.push_back(&network);
        return all;
    }()),
        testing::ValuesIn(kModes)),
    [](const auto& info) {
        const std::string_view mode = std::get<1>(info.param).arguments;
        return test::spelledName(std::get<0>(info.param)->name) + "_"
            + (mode.empty() ? "valid" : test::spelledName(mode.substr(10)));
    });

// Trouble is not a verdict: a check whose verdicts cannot be written ends
// with 2, never with the 0 or 1 of an answer.
TEST(Check, AFailedWriteIsTroubleNotAVerdict)
{
    EXPECT_EQ(shell("\"$CLI\" generate --count 5 | \"$CLI\" check > /dev/full").status, 2);
    EXPECT_EQ(shell("echo 0000000000000000 | \"$CLI\" check --allow-unknown").out,
        "0000000000000000 valid unknown\n");
}

// Scripts see every line: an unreadable one is a record with its reason,
// and another tool's heading is no error.
TEST(Check, JsonListsUnreadableLinesAndSkipsAForeignHeading)
{
    const ProgramRun run
        = cli({ "check", "--format", "ndjson" }, "card_number,name\n4111111111111111,x\nabc\n");
    EXPECT_EQ(run.out,
        "{\"line\":2,\"number\":\"4111111111111111\",\"valid\":true,\"networks\":[\"Visa\"]}\n"
        "{\"line\":3,\"valid\":false,\"reason\":\"unreadable\",\"problem\":\"character 1 is "
        "not a digit, blank or separator\"}\n");
    EXPECT_EQ(run.status, 2);
}

struct LineCase {
    const char* name;
    std::string input; // one line, its line end added
    std::string verdict; // on standard output, or empty
    std::string report; // a part of what standard error says of it
    int status;
};

void PrintTo(const LineCase& c, std::ostream* os)
{
    *os << c.name;
}

class CheckLines : public testing::TestWithParam<LineCase> { };

TEST_P(CheckLines, VerdictReportAndStatus)
{
    const LineCase& c = GetParam();
    const ProgramRun run = cli({ "check" }, c.input + "\n");
    EXPECT_EQ(run.out, c.verdict.empty() ? "" : c.verdict + "\n");
    EXPECT_NE(run.err.find(c.report), std::string::npos) << run.err;
    EXPECT_EQ(run.status, c.status) << run.err;
}

// A card number has 12 to 19 digits; any other count is invalid by length.
INSTANTIATE_TEST_SUITE_P(Lengths, CheckLines,
    testing::Values(LineCase { "1_digit", "0", "0 invalid length", "1 invalid (1 by length)", 1 },
        LineCase { "2_digits", "18", "18 invalid length", "1 invalid", 1 },
        LineCase { "11_digits", "42424242426", "42424242426 invalid length", "1 invalid", 1 },
        LineCase {
            "12_digits", "424242424242", "424242424242 invalid length Visa", "1 invalid", 1 },
        LineCase {
            "14_zeros", "00000000000000", "00000000000000 invalid prefix unknown", "1 invalid", 1 },
        LineCase {
            "19_digits", "4242424242424242428", "4242424242424242428 valid Visa", "1 valid", 0 },
        LineCase { "20_digits", "42424242424242424242", "42424242424242424242 invalid length",
            "1 invalid (1 by length)", 1 }),
    [](const auto& info) { return std::string(info.param.name); });

// Records are read field by field; a number is never pieced together from
// several fields, while blanks and dashes inside one number are fine.
INSTANTIATE_TEST_SUITE_P(Shapes, CheckLines,
    testing::Values(LineCase { "blanks_inside", "4111 1111 1111 1111",
                        "4111111111111111 valid Visa", "1 valid", 0 },
        LineCase {
            "dashes_inside", "4111-1111-1111-1111", "4111111111111111 valid Visa", "1 valid", 0 },
        LineCase { "no_break_spaces", "4111\u00a01111\u00a01111\u202f1111",
            "4111111111111111 valid Visa", "1 valid", 0 },
        LineCase { "byte_order_mark", "\ufeff4111111111111111", "4111111111111111 valid Visa",
            "1 valid", 0 },
        LineCase {
            "text_with_code", "4111111111111111 870", "4111111111111111 valid Visa", "1 valid", 0 },
        LineCase { "quoted_csv", "\"378282246310005\",\"American Express\"",
            "378282246310005 valid American Express", "1 valid", 0 },
        LineCase { "json_in_an_array", "[{\"number\":\"6011111111111117\"}]",
            "6011111111111117 valid Discover|RuPay", "1 valid", 0 },
        LineCase { "csv_header", "number,brand,expiry,cvv", "", "no numbers read", 1 },
        LineCase { "table_header", "Result(s)       \tExpiry\tCVV\t", "", "no numbers read", 1 },
        LineCase { "two_numbers_in_csv", "4111111111111111,4222222222222", "",
            "(standard input):1: unreadable: field 2", 2 },
        LineCase { "text_and_a_word", "4111111111111111 02/27 870 x", "",
            "(standard input):1: unreadable: character 28 is not a digit, blank or separator", 2 },
        LineCase { "code_or_longer_number", "4722 3313 1756 1312 870", "",
            "(standard input):1: unreadable: a number and a code, or a longer number", 2 },
        LineCase { "slash_groups_and_code", "4722/3313/1756/1312 870",
            "4722331317561312 valid Visa", "1 valid", 0 },
        LineCase { "json_without_number", "{\"brand\":\"Visa\"}", "", "no \"number\" field", 2 },
        LineCase { "json_letters_in_number", "{\"number\":\"41x1\"}", "",
            "character 14 is not a digit", 2 },
        LineCase { "json_cut_short", "{\"number\":\"4111111111111111\",", "", "JSON object", 2 },
        LineCase { "dashes_only", "---", "", "character 1 is not a digit", 2 },
        LineCase { "overlong", std::string(300, '4'), "", "longer than 256 bytes", 2 }),
    [](const auto& info) { return std::string(info.param.name); });

class CheckInputs : public testing::TestWithParam<LineCase> { };

// Whole inputs as other tools and systems write them: the line's verdicts
// (the date pinned to January 2026), or the report and status of input
// that cannot be read without a guess.
TEST_P(CheckInputs, VerdictReportAndStatus)
{
    const LineCase& c = GetParam();
    const ProgramRun run = cli({ "check" }, c.input);
    EXPECT_EQ(run.out, c.verdict);
    EXPECT_NE(run.err.find(c.report), std::string::npos) << run.err;
    EXPECT_EQ(run.status, c.status) << run.err;
}

const std::string kVisa = "4111111111111111 valid Visa\n";
const std::string kTwo = kVisa + "5555555555554444 valid Mastercard\n";

INSTANTIATE_TEST_SUITE_P(ForeignShapes, CheckInputs,
    testing::Values(LineCase { "semicolon_code", "number;cvv\n4111111111111112;100\n",
                        "4111111111111112 invalid luhn Visa\n", "1 invalid", 1 },
        LineCase { "pipe_code", "4111111111111111|123\n", kVisa, "1 valid", 0 },
        LineCase { "colon_code", "4111111111111111:123\n", kVisa, "1 valid", 0 },
        LineCase { "slash_code", "4111111111111111/123\n", kVisa, "1 valid", 0 },
        LineCase { "comma_expiry_code", "4111111111111111,01/26,123\n", kVisa, "1 valid", 0 },
        LineCase { "tab_brand_expiry_code",
            "number\tbrand\texpiry\tcvv\n378282246310005\tAmerican Express\t12/29\t1234\n",
            "378282246310005 valid American Express\n", "1 valid", 0 },
        LineCase { "pipe_long_year", "4111111111111111|01/2026|123\n", kVisa, "1 valid", 0 },
        LineCase { "blanks_short_code", "4111111111111111 12/29 12\n",
            "4111111111111111 invalid code Visa\n", "1 invalid", 1 },
        LineCase { "one_digit_after", "6011111111111117 0\n",
            "6011111111111117 invalid code Discover|RuPay\n", "1 invalid", 1 },
        LineCase { "amex_with_three_digits", "378282246310005 123\n",
            "378282246310005 invalid code American Express\n", "1 invalid", 1 },
        LineCase { "month_13", "4111 1111 1111 1111 13/29 123\n",
            "4111111111111111 invalid expiry Visa\n", "1 invalid", 1 },
        LineCase { "last_month", "4111111111111111;12/25\n", "4111111111111111 expired Visa\n",
            "1 invalid", 1 },
        LineCase { "json_code", "{\"number\":\"4111111111111111\",\"cvv\":\"12\"}\n",
            "4111111111111111 invalid code Visa\n", "1 invalid", 1 },
        LineCase { "groups_of_no_grouping", "4111 1111 1111 111\n", "",
            "digit groups 4-4-4-3 are no grouping", 2 },
        LineCase { "grouped_unknown_prefix", "7550 3647 0533 1279\n",
            "7550364705331279 invalid prefix unknown\n", "1 invalid", 1 },
        LineCase { "lone_crs", "4111111111111111\r5555555555554444\r", kTwo, "2 valid", 0 },
        LineCase { "cr_crlf_lf", "4111111111111111\r\n\r5555555555554444\n", kTwo, "2 valid", 0 },
        LineCase { "utf16le", utf16("4111111111111111\r\n5555555555554444\r\n", false), kTwo,
            "2 valid", 0 },
        LineCase {
            "utf16be", utf16("4111111111111111\n5555555555554444", true), kTwo, "2 valid", 0 },
        LineCase { "utf16_without_mark", utf16("4111111111111111\r\n", false, false), "",
            "UTF-16 without a byte order mark", 2 },
        LineCase { "json_escapes",
            "{\"name\":\"A \\\"B\\\"\",\"number\":\"\\u0034111111111111111\"}\n", kVisa, "1 valid",
            0 },
        LineCase { "nothing", "", "", "pellorin-cli check: no numbers read\n", 1 },
        LineCase { "blank_lines", "\n \r\n\t\n", "", "no numbers read", 1 },
        LineCase { "heading_alone", "card_number;name\n", "", "no numbers read", 1 }),
    [](const auto& info) { return std::string(info.param.name); });

struct OutputCase {
    const char* name;
    std::vector<std::string> arguments; // after "check"
    std::string input;
    std::string out;
    std::string err; // exactly
    int status;
};

void PrintTo(const OutputCase& c, std::ostream* os)
{
    *os << c.name;
}

class CheckOutput : public testing::TestWithParam<OutputCase> { };

TEST_P(CheckOutput, WritesWhatItsOptionsAskAndTheSameStatus)
{
    std::vector<std::string> arguments { "check" };
    arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    const ProgramRun run = cli(arguments, GetParam().input);
    EXPECT_EQ(run.out, GetParam().out);
    EXPECT_EQ(run.err, GetParam().err);
    EXPECT_EQ(run.status, GetParam().status);
}

const std::string kMixed = "4539148803436467\n4539148803436468\n378282246310005\n";
const std::string kMixedSummary = "3 numbers: 2 valid, 1 invalid";
const std::string kUnreadable = "4539148803436467\nabc\n";

INSTANTIATE_TEST_SUITE_P(Options, CheckOutput,
    testing::Values(OutputCase { "quiet_invalid", { "-q" }, kMixed, "", "", 1 },
        OutputCase { "quiet_valid", { "--quiet" }, "378282246310005\n", "", "", 0 },
        OutputCase { "quiet_unreadable", { "-q" }, kUnreadable, "", "", 2 },
        OutputCase { "count", { "--count" }, kMixed, kMixedSummary + "\n", "", 1 },
        OutputCase { "count_json", { "--count", "-f", "json" }, kMixed,
            R"({"numbers":3,"valid":2,"invalid":1,"byLength":0,"unreadable":0})"
            "\n",
            "", 1 },
        OutputCase { "count_unreadable", { "--count" }, kUnreadable,
            "1 number: 1 valid, 0 invalid; 1 unreadable line\n",
            "pellorin-cli check: (standard input):2: unreadable: character 1 is not a digit, "
            "blank or separator\n",
            2 },
        OutputCase { "invalid_only", { "--invalid-only" }, kMixed,
            "4539148803436468 invalid luhn Visa\n", "pellorin-cli check: " + kMixedSummary + "\n",
            1 },
        OutputCase { "invalid_only_ndjson", { "--invalid-only", "-f", "ndjson" }, kMixed,
            R"({"line":2,"number":"4539148803436468","valid":false,"reason":"luhn",)"
            R"("networks":["Visa"]})"
            "\n",
            "pellorin-cli check: " + kMixedSummary + "\n", 1 },
        OutputCase { "reasons_of_extras_in_json", { "-f", "ndjson" },
            "4111111111111111 00/27\n4111111111111111 12/25\n",
            R"({"line":1,"number":"4111111111111111","valid":false,"reason":"expiry",)"
            R"("networks":["Visa"]})"
            "\n"
            R"({"line":2,"number":"4111111111111111","valid":false,"reason":"expired",)"
            R"("networks":["Visa"]})"
            "\n",
            "pellorin-cli check: 2 numbers: 0 valid, 2 invalid\n", 1 },
        OutputCase { "null_ended", { "-z", "--invalid-only" },
            std::string("4539148803436468\0"
                        "378282246310005\0",
                33),
            std::string("4539148803436468 invalid luhn Visa\0", 35),
            "pellorin-cli check: 2 numbers: 1 valid, 1 invalid\n", 1 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Check, BrandsByIssuerRangesAndLuhnVerdicts)
{
    // Each input line and the line printed for it.
    const std::vector<std::pair<std::string, std::string>> cases {
        { "4539 1488 0343 6467", "4539148803436467 valid Visa" },
        { "4539-1488-0343-6468", "4539148803436468 invalid luhn Visa" },
        { "4222222222222", "4222222222222 valid Visa" },
        { "5105105105105100", "5105105105105100 valid Mastercard" },
        { "5555555555554445", "5555555555554445 invalid luhn Mastercard" },
        { "2221000000000009", "2221000000000009 valid Mastercard" },
        { "2720999999999996", "2720999999999996 valid Mastercard" },
        { "2721000000000004", "2721000000000004 invalid prefix unknown" },
        { "378282246310005", "378282246310005 valid American Express" },
        { "341111111111111", "341111111111111 valid American Express" },
        { "371449635398432", "371449635398432 invalid luhn American Express" },
        { "6011111111111117", "6011111111111117 valid Discover|RuPay" },
        { "6445644564456445", "6445644564456445 valid Discover" },
        { "6500000000000002", "6500000000000002 valid Discover|RuPay|Troy" },
        { "6430000000000004", "6430000000000004 invalid prefix unknown" },
        { "", "" },
        { "  \t", "" },
        { "3530111333300000", "3530111333300000 valid JCB|RuPay" },
        { "3841403975938906", "3841403975938906 valid Hipercard|Diners Club" },
    };
    std::string input, expected;
    for (const auto& [line, verdict] : cases) {
        input += line + "\r\n";
        if (!verdict.empty())
            expected += verdict + "\n";
    }
    const ProgramRun run = cli({ "check" }, input);
    EXPECT_EQ(run.out, expected);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "pellorin-cli check: 17 numbers: 12 valid, 5 invalid\n");
}

TEST(Check, AfterTwentyUnreadableLinesTheRestAreOnlyCounted)
{
    std::string input;
    for (int i = 0; i < 25; ++i)
        input += "card " + std::to_string(i) + "\n";
    const ProgramRun run = cli({ "check" }, input + "4111111111111111\n");
    EXPECT_EQ(run.out, "4111111111111111 valid Visa\n");
    EXPECT_EQ(run.status, 2);
    const auto reports = lines(run.err);
    ASSERT_EQ(reports.size(), 22u) << run.err;
    EXPECT_EQ(reports[19],
        "pellorin-cli check: (standard input):20: unreadable: character 1 is not a digit, "
        "blank or separator");
    EXPECT_EQ(reports[20], "pellorin-cli check: \u2026 and 5 more unreadable lines");
    EXPECT_EQ(reports[21], "pellorin-cli check: 1 number: 1 valid, 0 invalid; 25 unreadable lines");
}

TEST(Check, SeveralFilesInInputOrderEachResultNamingItsFileAndLine)
{
    const auto folder
        = std::filesystem::temp_directory_path() / ("pellorin-check-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "a") << "6011111111111117\nx\n";
    std::ofstream(folder / "b") << "\n378282246310005\n";
    const ProgramRun run
        = shell("cd '" + folder.string() + "' && \"$CLI\" check a missing b - 2>&1", "18\n");
    std::filesystem::remove_all(folder);
    EXPECT_EQ(run.out,
        "a:1:6011111111111117 valid Discover|RuPay\n"
        "pellorin-cli check: a:2: unreadable: character 1 is not a digit, blank or separator\n"
        "pellorin-cli check: cannot read 'missing': No such file or directory\n"
        "b:2:378282246310005 valid American Express\n"
        "(standard input):1:18 invalid length\n"
        "pellorin-cli check: 3 numbers: 2 valid, 1 invalid (1 by length); 1 unreadable line\n");
    EXPECT_EQ(run.status, 2);
}

TEST(Check, TenMegabytesOfRandomBytesGiveAScreenfulOfReports)
{
    const ProgramRun run = shell("head -c 10000000 /dev/urandom | \"$CLI\" check");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(lines(run.err).size(), 22u) << run.err.substr(0, 2000);
}

// A file that --threads cuts into pieces, with `snippet` laid across the
// borders of the first two so that its byte `at` is the first of a piece.
struct PieceCase {
    const char* name;
    std::string snippet;
    std::size_t at;
    std::vector<std::string> arguments; // after "check"; "FILE" stands for the file
    int status;
    char end = '\n';
};

void PrintTo(const PieceCase& c, std::ostream* os)
{
    *os << c.name;
}

std::string piecesFile(const PieceCase& c)
{
    const std::string filler = std::string("4111111111111111") + c.end;
    std::string text = c.end == '\n' ? "\xEF\xBB\xBF"
                                       "card_number,name\n"
                                     : "";
    for (const std::size_t border : { cli::kCheckPiece, 2 * cli::kCheckPiece }) {
        while (text.size() + 2 * filler.size() <= border - c.at)
            text += filler;
        // Blanks before the last number make up the bytes to the border.
        text += std::string(border - c.at - text.size() - filler.size(), ' ') + filler + c.snippet;
    }
    return text + filler + "4111111111111112"; // the last line with no end
}

class CheckPieces : public testing::TestWithParam<PieceCase> { };

TEST_P(CheckPieces, TheSameBytesAndStatusOnAnyNumberOfThreads)
{
    const auto file = std::filesystem::temp_directory_path()
        / ("pellorin-pieces-" + std::to_string(::getpid()));
    std::ofstream(file, std::ios::binary) << piecesFile(GetParam());
    std::vector<std::string> arguments { "check" };
    for (const std::string& argument : GetParam().arguments)
        arguments.push_back(argument == "FILE" ? file.string() : argument);
    const ProgramRun one = cli(arguments);
    EXPECT_EQ(one.status, GetParam().status) << one.err.substr(0, 2000);
    arguments.insert(arguments.begin() + 1, { "--threads", "" });
    for (const char* threads : { "2", "3" }) {
        arguments[2] = threads;
        const ProgramRun run = cli(arguments);
        EXPECT_TRUE(run.out == one.out) << threads << " threads: the verdicts differ";
        EXPECT_EQ(run.err, one.err) << threads << " threads";
        EXPECT_EQ(run.status, one.status) << threads << " threads";
    }
    std::filesystem::remove(file);
}

const std::string kLuhnFails = "4111111111111112\n";
const std::string kFifteenUnreadable = [] {
    std::string lines;
    for (int i = 0; i < 15; ++i)
        lines += "card " + std::to_string(i) + "\n";
    return lines;
}();

INSTANTIATE_TEST_SUITE_P(Borders, CheckPieces,
    testing::Values(PieceCase { "line_end_last_of_piece", kLuhnFails, 16, { "FILE" }, 1 },
        PieceCase { "line_first_of_piece", kLuhnFails, 0, { "FILE" }, 1 },
        PieceCase { "line_end_first_of_piece", kLuhnFails, 17, { "FILE" }, 1 },
        PieceCase { "cr_and_line_end_apart", "5555555555554444\r\n", 17, { "FILE" }, 1 },
        PieceCase { "thirty_unreadable_lines", kFifteenUnreadable, 30, { "FILE" }, 2 },
        PieceCase { "overlong_line", std::string(700, '9') + "\n", 300, { "FILE" }, 2 },
        PieceCase { "json", "x\n" + kLuhnFails, 3, { "-f", "json", "FILE" }, 2 },
        PieceCase { "json_first_piece_shows_none", kLuhnFails, 0,
            { "-f", "json", "--invalid-only", "FILE" }, 1 },
        PieceCase { "two_files", "x\n" + kLuhnFails, 5, { "FILE", "FILE" }, 2 },
        PieceCase {
            "lone_crs", "4111111111111112\rx\r\r5555555555554444\r\n", 17, { "FILE", "FILE" }, 2 },
        PieceCase { "count", "x\n" + kLuhnFails, 5, { "--count", "FILE" }, 2 },
        PieceCase { "quiet", kLuhnFails, 3, { "-q", "FILE" }, 1 },
        PieceCase {
            "null_ended", std::string("4111111111111112\0", 17), 16, { "-z", "FILE" }, 1, '\0' }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
