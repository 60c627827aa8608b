#include "CommandLine.h"

#include "NumberPattern.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <limits>
#include <sstream>

namespace pellorin::cli {

namespace {

constexpr const char* kProgram = "pellorin-cli";
constexpr unsigned kMaxThreads = 256;

constexpr const char* kGenerateUsage
    = "Usage: pellorin-cli generate [--brand visa|mastercard|amex|discover]\n"
      "                             [--prefix DIGITS --length N] [--count N] [--seed S]\n"
      "                             [--unique] [--with-expiry] [--with-cvv]\n"
      "                             [--format text|csv|json|ndjson|table] [--output FILE]\n"
      "                             [--threads N]\n";
constexpr const char* kCheckUsage = "Usage: pellorin-cli check [FILE...]\n";
constexpr const char* kProgramUsage = "Usage: pellorin-cli generate [OPTIONS] | check [FILE...]\n"
                                      "       pellorin-cli --help | --version\n";

constexpr const char* kSeedPromise
    = "With --seed the output is a promise: the same version of pellorin-cli, the same\n"
      "arguments and the same seed give the same bytes, on any machine and with any\n"
      "--threads. (Expiry dates count from the current month, or from the month of\n"
      "SOURCE_DATE_EPOCH when that is set.) Without --seed every run differs.\n";

constexpr const char* kGenerateExamples
    = "Examples:\n"
      "  pellorin-cli generate --brand amex --count 3 --seed 42\n"
      "  pellorin-cli generate --prefix 411111 --length 16 --count 1000 --unique --format csv\n"
      "  pellorin-cli generate --count 100000000 --threads 4 --output numbers.txt\n";

constexpr const char* kCheckHelp
    = "Reads what 'generate' writes, in any format, or one number per line (blanks and\n"
      "dashes between its digits are allowed) and prints each number with 'valid' or\n"
      "'invalid' (Luhn) and its brand, or 'unknown'; a number without 12 to 19 digits is\n"
      "'invalid length'. With several files each result starts with FILE:LINE:. Lines\n"
      "that hold no single card number are reported by their number. A summary goes to\n"
      "standard error.\n"
      "Exit status: 0 all valid, 1 some invalid, 2 unreadable input or usage error.\n"
      "Example:\n"
      "  printf '4539 1488 0343 6467\\n' | pellorin-cli check\n";

std::string usageError(const std::string& where, const std::string& message, const char* usage)
{
    return where + ": " + message + "\n" + usage + "Run '" + where + " --help' for more.\n";
}

// Plain decimal digits only: no sign, no base prefix, no blanks.
std::optional<std::uint64_t> readWhole(const std::string& text, std::uint64_t max)
{
    if (text.empty()
        || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > max)
        return std::nullopt;
    return value;
}

struct GenerateTexts {
    std::string brand, prefix, length, count, seed, format, output, threads;
};

BrandId brandNamed(const std::string& name)
{
    if (name == "mastercard")
        return BrandId::Mastercard;
    if (name == "amex")
        return BrandId::AmericanExpress;
    if (name == "discover")
        return BrandId::Discover;
    return BrandId::Visa;
}

Format formatNamed(const std::string& name)
{
    if (name == "csv")
        return Format::Csv;
    if (name == "json")
        return Format::Json;
    if (name == "ndjson")
        return Format::Ndjson;
    if (name == "table")
        return Format::Table;
    return Format::Text;
}

// The checks CLI11 cannot express. Returns an error message or nothing.
std::optional<std::string> finishGenerate(
    const GenerateTexts& texts, const CLI::App& app, GenerateRequest& request)
{
    const bool hasBrand = app.count("--brand") > 0;
    const bool hasPrefix = app.count("--prefix") > 0;
    const bool hasLength = app.count("--length") > 0;
    if (hasPrefix && hasBrand)
        return "--prefix cannot be used with --brand";
    if (hasPrefix != hasLength)
        return "--prefix and --length go together";

    if (hasPrefix) {
        const auto length = readWhole(texts.length, 99);
        if (!length || *length < 12 || *length > std::uint64_t(kMaxCardLength))
            return "--length: expected a whole number from 12 to 19, got '" + texts.length + "'";
        request.length = int(*length);
        if (texts.prefix.empty()
            || !std::all_of(texts.prefix.begin(), texts.prefix.end(),
                [](char c) { return c >= '0' && c <= '9'; }))
            return "--prefix: expected digits only, got '" + texts.prefix + "'";
        if (texts.prefix.size() >= std::size_t(request.length))
            return "--prefix: must be shorter than --length " + texts.length + ", got "
                + std::to_string(texts.prefix.size()) + " digits";
        request.brand.reset();
        request.prefix = texts.prefix;
    } else {
        request.brand = brandNamed(texts.brand);
    }

    if (app.count("--count") > 0) {
        const auto count
            = readWhole(texts.count, std::uint64_t(std::numeric_limits<std::int64_t>::max()));
        if (!count)
            return "--count: expected a whole number from 0 to 9223372036854775807, got '"
                + texts.count + "'";
        request.count = *count;
    }
    if (app.count("--seed") > 0) {
        request.seed = readWhole(texts.seed, std::numeric_limits<std::uint64_t>::max());
        if (!request.seed)
            return "--seed: expected a whole number from 0 to 18446744073709551615, got '"
                + texts.seed + "'";
    }
    if (app.count("--threads") > 0) {
        const auto threads = readWhole(texts.threads, kMaxThreads);
        if (!threads || *threads == 0)
            return "--threads: expected a whole number from 1 to " + std::to_string(kMaxThreads)
                + ", got '" + texts.threads + "'";
        request.threads = unsigned(*threads);
    }
    if (app.count("--output") > 0 && texts.output.empty())
        return "--output: expected a file name";
    request.output = texts.output;
    request.format = formatNamed(texts.format);

    if (request.unique) {
        const NumberPattern pattern = request.brand
            ? NumberPattern::forBrand(brand(*request.brand))
            : NumberPattern::custom(request.prefix, request.length);
        if (request.count > pattern.numberCount())
            return "--unique: --count " + std::to_string(request.count) + " is more than the "
                + std::to_string(pattern.numberCount()) + " different numbers "
                + (request.brand ? "this brand has" : "this prefix and length allow");
    }
    return std::nullopt;
}

} // namespace

const char* programVersion() noexcept
{
    return PELLORIN_VERSION;
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments, unsigned defaultThreads)
{
    CommandLine result;
    GenerateRequest& request = result.generate;
    request.threads = std::clamp(defaultThreads, 1U, kMaxThreads);
    GenerateTexts texts { "visa", "", "", "", "", "text", "", "" };

    CLI::App app("Test payment-card numbers for scripts and CI: Visa, Mastercard, American "
                 "Express, Discover or a prefix of your own, each with a valid Luhn check digit.",
        kProgram);
    app.set_version_flag(
        "--version", std::string(kProgram) + " " + programVersion(), "Print the version and exit");
    app.require_subcommand(1);
    app.footer(std::string("Run 'pellorin-cli generate --help' or 'pellorin-cli check --help' for "
                           "their options.\n\n")
        + kSeedPromise + "\n" + kGenerateExamples);

    CLI::App* generate = app.add_subcommand("generate", "Write card numbers");
    generate
        ->add_option(
            "-b,--brand", texts.brand, "Card brand, as the window makes them (default visa)")
        ->type_name("visa|mastercard|amex|discover")
        ->check(CLI::IsMember({ "visa", "mastercard", "amex", "discover" }).description(""));
    generate
        ->add_option(
            "-p,--prefix", texts.prefix, "Issuer prefix of your own (a BIN); digits 0-9 follow it")
        ->type_name("DIGITS");
    generate->add_option("-l,--length", texts.length, "Length of numbers with --prefix, 12 to 19")
        ->type_name("N");
    generate->add_option("-n,--count", texts.count, "How many numbers (default 10, up to 2^63-1)")
        ->type_name("N");
    generate
        ->add_option("-s,--seed", texts.seed, "Unsigned 64-bit seed: the same output every time")
        ->type_name("S");
    generate->add_flag("-u,--unique", request.unique, "No number twice (keeps them in memory)");
    generate->add_flag(
        "--with-expiry", request.withExpiry, "Add an expiry month MM/YY, 1 to 60 months ahead");
    generate->add_flag(
        "--with-cvv", request.withCvv, "Add a security code: 3 digits, 4 for American Express");
    generate->add_option("-f,--format", texts.format, "Output format (default text)")
        ->type_name("text|csv|json|ndjson|table")
        ->check(CLI::IsMember({ "text", "csv", "json", "ndjson", "table" }).description(""));
    generate
        ->add_option("-o,--output", texts.output,
            "Write to FILE, replaced only when complete (default standard output)")
        ->type_name("FILE");
    generate
        ->add_option("-t,--threads", texts.threads,
            "Worker threads (default: the number of cores); output does not depend on it")
        ->type_name("N");
    generate->footer(std::string("\n") + kSeedPromise + "\n" + kGenerateExamples);

    CLI::App* check = app.add_subcommand("check", "Check card numbers, one per line");
    check->add_option("files", result.check.files, "Files to read (default standard input)")
        ->type_name("FILE...");
    check->footer(std::string("\n") + kCheckHelp);

    auto usageFor = [&]() -> std::pair<std::string, const char*> {
        if (generate->parsed() > 0)
            return { std::string(kProgram) + " generate", kGenerateUsage };
        if (check->parsed() > 0)
            return { std::string(kProgram) + " check", kCheckUsage };
        return { kProgram, kProgramUsage };
    };

    // CLI11 would only say that a command is missing.
    if (!arguments.empty() && !arguments[0].starts_with('-') && arguments[0] != "generate"
        && arguments[0] != "check") {
        result.text = usageError(kProgram,
            "unknown command '" + arguments[0] + "' (expected generate or check)", kProgramUsage);
        return result;
    }
    try {
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
        app.parse(reversed);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) {
            std::ostringstream out, err;
            app.exit(error, out, err);
            result.kind = CommandLine::Kind::Message;
            result.text = out.str();
            return result;
        }
        const auto [where, usage] = usageFor();
        result.kind = CommandLine::Kind::UsageError;
        result.text = usageError(where, error.what(), usage);
        return result;
    }

    if (check->parsed() > 0) {
        result.kind = CommandLine::Kind::Check;
        return result;
    }
    if (const auto message = finishGenerate(texts, *generate, request)) {
        result.kind = CommandLine::Kind::UsageError;
        result.text = usageError(std::string(kProgram) + " generate", *message, kGenerateUsage);
        return result;
    }
    result.kind = CommandLine::Kind::Generate;
    return result;
}

} // namespace pellorin::cli
