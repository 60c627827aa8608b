// pellorin-cli run as a user runs it: a real process, its output read back
// with real parsers.

#include "Brand.h"
#include "CommandLineRun.h"
#include "LuhnCheck.h"

#include <csv.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <thread>

namespace {

using namespace pellorin;
using pellorin::test::ProgramRun;

using test::cli;
using test::lines;

// A generated record, whatever the format it came in.
struct Record {
    std::string number, brand, expiry, cvv;
};

std::vector<Record> parseCsv(const std::string& text)
{
    struct Parse {
        std::vector<std::vector<std::string>> rows { {} };
    } parse;
    csv_parser parser {};
    csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI);
    auto field = [](void* data, std::size_t size, void* self) {
        static_cast<Parse*>(self)->rows.back().emplace_back(static_cast<const char*>(data), size);
    };
    auto row = [](int, void* self) { static_cast<Parse*>(self)->rows.emplace_back(); };
    EXPECT_EQ(csv_parse(&parser, text.data(), text.size(), field, row, &parse), text.size());
    EXPECT_EQ(csv_fini(&parser, field, row, &parse), 0);
    csv_free(&parser);
    parse.rows.pop_back();
    std::vector<Record> records;
    if (parse.rows.empty())
        return records;
    const std::vector<std::string> header = parse.rows.front();
    EXPECT_GE(header.size(), 2u);
    for (std::size_t r = 1; r < parse.rows.size(); ++r) {
        Record record;
        for (std::size_t c = 0; c < header.size() && c < parse.rows[r].size(); ++c) {
            const std::string& value = parse.rows[r][c];
            if (header[c] == "number")
                record.number = value;
            else if (header[c] == "brand")
                record.brand = value;
            else if (header[c] == "expiry")
                record.expiry = value;
            else if (header[c] == "cvv")
                record.cvv = value;
        }
        records.push_back(record);
    }
    return records;
}

Record fromJson(const nlohmann::json& object)
{
    return { object.at("number").get<std::string>(), object.at("brand").get<std::string>(),
        object.value("expiry", ""), object.value("cvv", "") };
}

std::vector<Record> parseRecords(const std::string& format, const std::string& text)
{
    std::vector<Record> records;
    if (format == "csv")
        return parseCsv(text);
    if (format == "tsv") {
        // Plain fields: no quotes, no CR, no padding.
        EXPECT_EQ(text.find_first_of("\r\""), std::string::npos);
        const std::vector<std::string> rows = lines(text);
        for (std::size_t r = 1; r < rows.size(); ++r) {
            std::istringstream row(rows[r]);
            Record record;
            for (std::string* field :
                { &record.number, &record.brand, &record.expiry, &record.cvv })
                std::getline(row, *field, '\t');
            EXPECT_EQ(record.number.find(' '), std::string::npos) << rows[r];
            records.push_back(record);
        }
        EXPECT_EQ(rows.at(0), "number\tbrand\texpiry\tcvv");
        return records;
    }
    if (format == "json") {
        for (const auto& object : nlohmann::json::parse(text))
            records.push_back(fromJson(object));
    } else if (format == "ndjson") {
        for (const std::string& line : lines(text))
            records.push_back(fromJson(nlohmann::json::parse(line)));
    } else {
        for (const std::string& line : lines(text)) {
            std::istringstream fields(line);
            Record record;
            fields >> record.number >> record.expiry >> record.cvv;
            records.push_back(record);
        }
    }
    return records;
}

// Months from January 2026 to the expiry "MM/YY".
int monthsAhead(const std::string& expiry)
{
    return (std::stoi(expiry.substr(3, 2)) + 2000 - 2026) * 12 + std::stoi(expiry.substr(0, 2)) - 1;
}

struct FormatCase {
    BrandId id;
    const char* brand;
    const char* caption;
    const char* format;
};

void PrintTo(const FormatCase& c, std::ostream* os)
{
    *os << c.brand << ' ' << c.format;
}

class GenerateFormats : public testing::TestWithParam<FormatCase> { };

TEST_P(GenerateFormats, EveryRecordParsesWithAValidNumberOfTheBrandAndItsExtras)
{
    const FormatCase c = GetParam();
    const Brand& table = brand(c.id);
    const ProgramRun run = cli({ "generate", "--brand", c.brand, "--format", c.format, "--count",
        "2000", "--seed", "7", "--with-expiry", "--with-cvv" });
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::vector<Record> records = parseRecords(c.format, run.out);
    ASSERT_EQ(records.size(), 2000u);
    std::set<int> months;
    for (const Record& r : records) {
        ASSERT_EQ(r.number.size(), std::size_t(table.length)) << r.number;
        EXPECT_TRUE(LuhnCheck(r.number)) << r.number;
        EXPECT_TRUE(std::any_of(table.prefixes.begin(), table.prefixes.end(),
            [&](std::string_view p) { return r.number.starts_with(p); }))
            << r.number;
        EXPECT_EQ(r.number.find('0', table.prefixes[0].size()), std::string::npos) << r.number;
        if (std::string(c.format) != "text") {
            EXPECT_EQ(r.brand, c.caption);
        }
        ASSERT_EQ(r.expiry.size(), 5u);
        months.insert(monthsAhead(r.expiry));
        EXPECT_EQ(r.cvv.size(), table.id == BrandId::AmericanExpress ? 4u : 3u) << r.cvv;
        EXPECT_EQ(r.cvv.find_first_not_of("0123456789"), std::string::npos) << r.cvv;
    }
    EXPECT_EQ(*months.begin(), 1);
    EXPECT_EQ(*months.rbegin(), 60);
}

INSTANTIATE_TEST_SUITE_P(BrandsAndFormats, GenerateFormats,
    testing::Values(FormatCase { BrandId::Visa, "visa", "Visa", "text" },
        FormatCase { BrandId::Mastercard, "mastercard", "Mastercard", "csv" },
        FormatCase { BrandId::AmericanExpress, "amex", "American Express", "json" },
        FormatCase { BrandId::Discover, "discover", "Discover", "ndjson" },
        FormatCase { BrandId::AmericanExpress, "amex", "American Express", "csv" },
        FormatCase { BrandId::Visa, "visa", "Visa", "json" },
        FormatCase { BrandId::AmericanExpress, "amex", "American Express", "tsv" }),
    [](const auto& info) { return std::string(info.param.brand) + "_" + info.param.format; });

struct StabilityCase {
    const char* name;
    std::vector<std::string> arguments;
};

void PrintTo(const StabilityCase& c, std::ostream* os)
{
    *os << c.name;
}

class SeedStability : public testing::TestWithParam<StabilityCase> { };

// Several blocks, so threads really share the work.
TEST_P(SeedStability, SameBytesForEveryThreadCountAndRun)
{
    std::vector<std::string> arguments { "generate", "--seed", "12345", "--count", "70000" };
    arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    std::string first;
    for (const char* threads : { "1", "2", "3", "8", "1" }) {
        std::vector<std::string> withThreads = arguments;
        withThreads.insert(withThreads.end(), { "--threads", threads });
        const ProgramRun run = cli(withThreads);
        ASSERT_EQ(run.status, 0) << run.err;
        if (first.empty())
            first = run.out;
        EXPECT_EQ(run.out, first) << "--threads " << threads;
    }
    arguments[2] = "12346";
    EXPECT_NE(cli(arguments).out, first) << "another seed gives other numbers";
}

INSTANTIATE_TEST_SUITE_P(Formats, SeedStability,
    testing::Values(StabilityCase { "text", {} },
        StabilityCase { "json_extras", { "-f", "json", "--with-expiry", "--with-cvv" } },
        StabilityCase { "table", { "--format", "table", "--brand", "amex" } },
        StabilityCase { "unique_custom", { "--unique", "--prefix", "5", "--length", "12" } }),
    [](const auto& info) { return std::string(info.param.name); });

struct LayoutCase {
    const char* name;
    std::vector<std::string> arguments;
    const char* option; // --null or --no-header
};

void PrintTo(const LayoutCase& c, std::ostream* os)
{
    *os << c.name;
}

class RecordLayoutOption : public testing::TestWithParam<LayoutCase> { };

// The option changes the record ends or drops the heading line, and nothing
// else: the same numbers and fields, on any number of threads.
TEST_P(RecordLayoutOption, ChangesOnlyWhatItNames)
{
    std::vector<std::string> arguments { "generate", "--seed", "5", "--count", "40000" };
    arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    const ProgramRun plain = cli(arguments);
    ASSERT_EQ(plain.status, 0) << plain.err;
    std::string expected = plain.out;
    if (std::string_view(GetParam().option) == "--null") {
        for (const char* lineEnd : { "\r\n", "\n" }) {
            for (std::size_t at = 0; (at = expected.find(lineEnd, at)) != std::string::npos;)
                expected.replace(at, std::strlen(lineEnd), 1, '\0');
        }
    } else {
        expected.erase(0, expected.find('\n') + 1);
    }
    arguments.insert(arguments.end(), { GetParam().option, "--threads", "3" });
    const ProgramRun changed = cli(arguments);
    ASSERT_EQ(changed.status, 0) << changed.err;
    EXPECT_EQ(changed.out, expected);
}

INSTANTIATE_TEST_SUITE_P(Options, RecordLayoutOption,
    testing::Values(LayoutCase { "text_null", {}, "--null" },
        LayoutCase { "text_extras_null", { "--with-expiry", "--with-cvv", "-g" }, "--null" },
        LayoutCase { "csv_null", { "-f", "csv", "--brand", "amex" }, "--null" },
        LayoutCase { "ndjson_null", { "-f", "ndjson", "--with-cvv" }, "--null" },
        LayoutCase { "csv_no_header", { "-f", "csv", "--with-expiry" }, "--no-header" },
        LayoutCase { "table_no_header", { "-f", "table", "--with-cvv" }, "--no-header" },
        LayoutCase { "tsv_null", { "-f", "tsv", "--with-expiry", "-g" }, "--null" },
        LayoutCase { "tsv_no_header", { "-f", "tsv", "--invalid", "code" }, "--no-header" }),
    [](const auto& info) { return std::string(info.param.name); });

class TsvFormat : public testing::TestWithParam<std::vector<std::string>> { };

// tsv is csv with a TAB between fields and LF line ends: no field needs
// quoting in either.
TEST_P(TsvFormat, IsTheCsvWithTabsAndLineFeeds)
{
    std::vector<std::string> arguments { "generate", "--seed", "3", "--count", "20000" };
    arguments.insert(arguments.end(), GetParam().begin(), GetParam().end());
    arguments.insert(arguments.end(), { "--format", "csv" });
    const std::string csv = cli(arguments).out;
    ASSERT_EQ(csv.find('"'), std::string::npos);
    std::string expected;
    for (const char c : csv) {
        if (c != '\r')
            expected += c == ',' ? '\t' : c;
    }
    arguments.back() = "tsv";
    EXPECT_EQ(cli(arguments).out, expected);
}

INSTANTIATE_TEST_SUITE_P(Records, TsvFormat,
    testing::Values(std::vector<std::string> {},
        std::vector<std::string> { "--brand", "diners", "--with-expiry", "--with-cvv", "-g" },
        std::vector<std::string> { "--brand", "uatp", "--invalid", "luhn", "--separator", "/" },
        std::vector<std::string> { "--invalid", "month", "--with-cvv" }),
    [](const auto& info) { return "Arguments" + std::to_string(info.index); });

TEST(Generate, WithoutASeedEveryRunDiffers)
{
    EXPECT_NE(cli({ "generate", "-n", "5" }).out, cli({ "generate", "-n", "5" }).out);
}

TEST(Generate, ExtrasLeaveTheNumbersAsTheyWere)
{
    const auto plain = lines(cli({ "generate", "-s", "3", "-n", "100" }).out);
    const auto withExtras = lines(cli({ "generate", "-s", "3", "-n", "100", "--with-cvv" }).out);
    ASSERT_EQ(withExtras.size(), plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i)
        EXPECT_EQ(withExtras[i].substr(0, 17), plain[i] + " ");
}

// Ten digits of prefix leave two free digits and the check digit: exactly
// 100 numbers, so --unique can ask for all of them and not one more.
TEST(Generate, CustomPrefixUniqueGivesEveryNumberOnceUpToTheCapacity)
{
    const ProgramRun all = cli({ "generate", "--prefix", "6034567890", "--length", "13", "--count",
        "100", "--unique", "--seed", "1" });
    ASSERT_EQ(all.status, 0) << all.err;
    const auto numbers = lines(all.out);
    const std::set<std::string> distinct(numbers.begin(), numbers.end());
    EXPECT_EQ(distinct.size(), 100u);
    for (const std::string& n : distinct) {
        EXPECT_TRUE(n.starts_with("6034567890") && n.size() == 13 && LuhnCheck(n)) << n;
    }
    EXPECT_TRUE(std::any_of(distinct.begin(), distinct.end(), [](const std::string& n) {
        return n.find('0', 10) != std::string::npos;
    })) << "digits after the prefix include 0";

    const ProgramRun tooMany = cli(
        { "generate", "--prefix", "6034567890", "--length", "13", "--count", "101", "--unique" });
    EXPECT_EQ(tooMany.status, 2);
    EXPECT_EQ(tooMany.out, "");
    EXPECT_NE(tooMany.err.find("100 different numbers"), std::string::npos) << tooMany.err;
}

TEST(Generate, UniqueBrandNumbersNeverRepeat)
{
    const auto numbers
        = lines(cli({ "generate", "-b", "mastercard", "-n", "50000", "--unique" }).out);
    EXPECT_EQ(std::set<std::string>(numbers.begin(), numbers.end()).size(), 50000u);
}

TEST(Generate, AClosedPipeEndsQuietlyWithStatusZero)
{
    test::SpawnedProgram program(test::cliProgram(), { "generate", "--count", "1000000000000" });
    char first[17];
    ASSERT_EQ(::read(program.outputFd(), first, sizeof first), ssize_t(sizeof first));
    program.closeOutput();
    EXPECT_EQ(program.finish(), 0);
    EXPECT_EQ(program.err, "");
}

struct BadOutputCase {
    const char* name;
    const char* file;
    const char* reason;
};

void PrintTo(const BadOutputCase& c, std::ostream* os)
{
    *os << c.file;
}

class UnwritableOutput : public testing::TestWithParam<BadOutputCase> { };

TEST_P(UnwritableOutput, StatusOneNamingTheFileAndTheReason)
{
    const ProgramRun run = cli({ "generate", "-n", "100000", "--output", GetParam().file });
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(GetParam().file), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(GetParam().reason), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Files, UnwritableOutput,
    testing::Values(
        BadOutputCase { "missing_folder", "/nonexistent-folder/numbers.txt", "No such file" },
        BadOutputCase { "folder", "/tmp", "Is a directory" },
        BadOutputCase { "full_disk", "/dev/full", "No space left" }),
    [](const auto& info) { return std::string(info.param.name); });

struct DateCase {
    const char* name;
    const char* value;
    int withExpiry; // status with --with-expiry; 0 without it whatever the value
};

void PrintTo(const DateCase& c, std::ostream* os)
{
    *os << c.name;
}

class SourceDateEpoch : public testing::TestWithParam<DateCase> { };

// Read only when expiry dates are asked for; set to nothing it is unset.
TEST_P(SourceDateEpoch, MattersOnlyWithExpiryDates)
{
    const std::vector<std::string> date { std::string("SOURCE_DATE_EPOCH=") + GetParam().value };
    const ProgramRun plain
        = test::runProgram(test::cliProgram(), { "generate", "-n", "2" }, "", date);
    EXPECT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(lines(plain.out).size(), 2u);
    const ProgramRun expiry = test::runProgram(
        test::cliProgram(), { "generate", "-n", "2", "--with-expiry" }, "", date);
    EXPECT_EQ(expiry.status, GetParam().withExpiry) << expiry.err;
    if (GetParam().withExpiry != 0) {
        EXPECT_NE(expiry.err.find("SOURCE_DATE_EPOCH"), std::string::npos) << expiry.err;
        EXPECT_EQ(expiry.out, "");
    }
}

INSTANTIATE_TEST_SUITE_P(Values, SourceDateEpoch,
    testing::Values(DateCase { "empty", "", 0 }, DateCase { "letters", "abc", 2 },
        DateCase { "negative", "-1", 2 }, DateCase { "pinned", "1767225600", 0 }),
    [](const auto& info) { return std::string(info.param.name); });

struct UsageCase {
    const char* name;
    std::vector<std::string> arguments;
    const char* message; // after "pellorin-cli: error: "
    const char* help; // the command whose help the second line names
};

void PrintTo(const UsageCase& c, std::ostream* os)
{
    for (const std::string& a : c.arguments)
        *os << a << ' ';
}

class UsageErrors : public testing::TestWithParam<UsageCase> { };

TEST_P(UsageErrors, OneLineSayingWhatIsWrongAndOneNamingTheHelp)
{
    const UsageCase& c = GetParam();
    const ProgramRun run = cli(c.arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
        std::string("pellorin-cli: error: ") + c.message + "\nTry 'pellorin-cli" + c.help
            + " --help'.\n");
}

INSTANTIATE_TEST_SUITE_P(Arguments, UsageErrors,
    testing::Values(
        UsageCase { "no_command", {}, "no command given: generate, check or brands", "" },
        UsageCase { "unknown_command", { "make" },
            "unknown command 'make' (expected generate, check or brands)", "" },
        UsageCase { "misspelt_command", { "genrate" },
            "unknown command 'genrate'; did you mean 'generate'?", "" },
        UsageCase { "lower_case_v", { "-v" }, "unknown option '-v'; did you mean '-V'?", "" },
        UsageCase { "arguments_in_their_order", { "generate", "one", "two", "three" },
            "unexpected arguments 'one' 'two' 'three'", " generate" },
        UsageCase { "count_without_value", { "generate", "--count" },
            "option '--count' needs a value", " generate" },
        UsageCase { "misspelt_option", { "generate", "--cout", "3" },
            "unknown option '--cout'; did you mean '--count'?", " generate" },
        UsageCase { "unknown_option", { "generate", "--colour" }, "unknown option '--colour'",
            " generate" },
        UsageCase { "misspelt_brand", { "generate", "--brand", "vissa" },
            "--brand: unknown brand 'vissa'; did you mean 'visa'?", " generate" },
        UsageCase { "unknown_brand", { "generate", "--brand", "solo" },
            "--brand: unknown brand 'solo'; the brands are visa, mastercard, amex, discover, jcb, "
            "diners, unionpay, maestro, mir, rupay, elo, hipercard, troy, verve, uatp and dankort",
            " generate" },
        UsageCase { "unknown_format", { "generate", "--format", "xml" },
            "--format: unknown format 'xml'; the formats are text, csv, tsv, json, ndjson and "
            "table",
            " generate" },
        UsageCase { "check_option", { "check", "--every" }, "unknown option '--every'", " check" },
        UsageCase { "check_format_in_capitals", { "check", "--format", "JSON" },
            "--format: unknown format 'JSON'; did you mean 'json'?", " check" },
        UsageCase { "check_unknown_format", { "check", "-f", "csv" },
            "--format: unknown format 'csv'; the formats are text, json and ndjson", " check" },
        UsageCase { "brands_misspelt_option", { "brands", "--formt", "json" },
            "unknown option '--formt'; did you mean '--format'?", " brands" },
        UsageCase { "brands_format", { "brands", "--format=jsn" },
            "--format: unknown format 'jsn'; did you mean 'json'?", " brands" },
        UsageCase {
            "brands_argument", { "brands", "extra" }, "unexpected argument 'extra'", " brands" },
        UsageCase { "options_after_double_dash", { "generate", "--", "--count", "1" },
            "unexpected arguments '--count' '1'", " generate" },
        UsageCase { "null_json", { "generate", "-z", "-f", "json" },
            "--null: records of text, csv, tsv and ndjson can end in NUL, not those of json",
            " generate" },
        UsageCase { "no_header_text", { "generate", "--no-header" },
            "--no-header: only csv, tsv and table have a heading line, not text", " generate" },
        UsageCase { "check_quiet_count", { "check", "-q", "--count" },
            "--quiet cannot be used with --count", " check" },
        UsageCase { "check_null_json", { "check", "-z", "-f", "json" },
            "--null: --format json writes one array; ndjson records can end in NUL", " check" },
        UsageCase { "check_threads", { "check", "--threads", "x" },
            "--threads: expected a whole number from 1 to 256, got 'x'", " check" },
        UsageCase { "tab_separator", { "generate", "--separator", "\t" },
            "--separator: expected one character other than a digit, letter, comma, quote or "
            "backslash, got '\\t'",
            " generate" },
        UsageCase { "line_end_in_an_argument", { "generate", "a\nb" }, "unexpected argument 'a?b'",
            " generate" },
        UsageCase { "prefix_with_brand",
            { "generate", "--brand", "visa", "--prefix", "4", "--length", "16" },
            "--prefix cannot be used with --brand", " generate" },
        UsageCase { "prefix_alone", { "generate", "--prefix", "4" },
            "--prefix and --length go together", " generate" },
        UsageCase { "prefix_letters", { "generate", "--prefix", "4x", "--length", "16" },
            "--prefix: expected digits only, got '4x'", " generate" },
        UsageCase { "prefix_as_long_as_length",
            { "generate", "--prefix", "123456789012", "--length", "12" },
            "--prefix: must be shorter than --length 12, got 12 digits", " generate" },
        UsageCase { "length_11", { "generate", "--prefix", "4", "--length", "11" },
            "--length: expected a whole number from 12 to 19, got '11'", " generate" },
        UsageCase { "negative_count", { "generate", "--count", "-1" },
            "--count: expected a whole number from 0 to 9223372036854775807, got '-1'",
            " generate" },
        UsageCase { "count_2_63", { "generate", "--count", "9223372036854775808" },
            "--count: expected a whole number from 0 to 9223372036854775807, got "
            "'9223372036854775808'",
            " generate" },
        UsageCase { "hex_seed", { "generate", "--seed", "0x10" },
            "--seed: expected a whole number from 0 to 18446744073709551615, got '0x10'",
            " generate" },
        UsageCase { "zero_threads", { "generate", "--threads", "0" },
            "--threads: expected a whole number from 1 to 256, got '0'", " generate" },
        UsageCase { "unique_beyond_one_number",
            { "generate", "--prefix", "123456789012345678", "--length", "19", "--unique", "-n",
                "2" },
            "--unique: --count 2 is more than the 1 different number this prefix and length "
            "allow",
            " generate" },
        UsageCase { "unique_beyond_brand",
            { "generate", "-b", "mastercard", "--unique", "-n", "1000000000" },
            "--unique: --count 1000000000 is more than the 348678440 different numbers this brand "
            "has",
            " generate" }),
    [](const auto& info) { return std::string(info.param.name); });

// As GNU tools do, so that aliases and wrappers can override what they set.
TEST(Arguments, TheLastValueOfARepeatedOptionWins)
{
    const ProgramRun run = cli({ "generate", "-n", "2", "--count", "3", "--brand", "amex", "-b",
        "discover", "-s", "1", "-s", "2", "-u", "-u" });
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, cli({ "generate", "-n", "3", "-b", "discover", "-s", "2", "-u" }).out);
}

TEST(Version, IsTheProjectVersionUnderBothNames)
{
    for (const char* option : { "--version", "-V" }) {
        const ProgramRun run = cli({ option });
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, std::string("pellorin-cli ") + PELLORIN_VERSION + "\n");
    }
}

} // namespace
