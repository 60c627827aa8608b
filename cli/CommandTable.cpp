#include "CommandTable.h"

#include "PlatformTexts.h"

#include <algorithm>

namespace pellorin::cli {

namespace {

using Setter = void (*)(Given&, const std::string&);
using engine::GenerateField;
using engine::GenerateForm;
using pellorin::InvalidRule;
using pellorin::kInvalidRules;

// A field of Given, or of its generate form, set to the option's value, or
// to true for a flag.
template <auto Field> Setter text()
{
    return [](Given& given, const std::string& value) { given.*Field = value; };
}
template <auto Field> Setter flag()
{
    return [](Given& given, const std::string&) { given.*Field = true; };
}
template <auto Field> Setter formText()
{
    return [](Given& given, const std::string& value) { given.generate.*Field = value; };
}
template <auto Field> Setter formFlag()
{
    return [](Given& given, const std::string&) { given.generate.*Field = true; };
}

Option helpOption(std::string help = "Print this help and exit")
{
    return { "-h", "--help", "", std::move(help), ValueKind::None, {}, false, {},
        flag<&Given::help>(), {} };
}

constexpr std::string_view kSummary
    = "Test payment-card numbers for scripts and CI: every card network of 'pellorin-cli "
      "brands' or a prefix of your own, each with a valid Luhn check digit, or invalid on "
      "purpose.";

constexpr std::string_view kNumbersRule
    = "visa, mastercard, amex and discover give the window's numbers: its issuer prefixes and "
      "length, digits 1 to 9 after the prefix (never 0) and a check digit that is never 0. "
      "Every other network draws from the prefixes it alone claims for the length, so a "
      "number is known by its network alone (Hipercard claims none alone: its numbers are "
      "Diners Club's or RuPay's too, and check names Hipercard first); --ranges network draws "
      "from all the network's published ranges, shared ones too; either way every Luhn-valid "
      "number of the ranges and the length has the same chance. --invalid luhn, length "
      "or prefix breaks exactly that rule of the number; length and prefix keep clear of what "
      "widely used validators take (a --length one takes is refused), and brands names a rule "
      "one skips. --invalid expiry writes an expiry month that has passed (1 to 60 "
      "months back), --invalid month the month 00 or 13 instead, --invalid code a security "
      "code of a wrong length (4 digits, amex 3); each implies --with-expiry or --with-cvv, and "
      "the number and the other extra stay valid. --prefix DIGITS --length N gives "
      "every Luhn-valid number with that prefix and length with the same chance, digits 0 to 9 "
      "after the prefix; a prefix inside a network's range makes that network's numbers (named as "
      "check names them, with its security code length), any other is \"Custom\".";

constexpr std::string_view kSeedRule
    = "Without --seed every run is random and differs from the last. With --seed the output is "
      "a promise: the same version of pellorin-cli, the same arguments and the same seed give "
      "the same bytes, on any machine and with any --threads. Expiry dates count from the "
      "current month, or from the month of SOURCE_DATE_EPOCH when that is set.";

constexpr std::string_view kCheckRule
    = "Reads what generate writes, in any format and with any extras, or one number per line, "
      "from each FILE or standard input ('-'), in UTF-8 or in UTF-16 that starts with its byte "
      "order mark; lines end in LF, CR LF or CR. Digit groups make one number only where they "
      "are a grouping card numbers print in (4111 1111 1111 1111, 3782-822463-10005); "
      "otherwise the first group is the number and what follows, apart by blanks, TABs, "
      "',', ';', '|', ':' or '/', are fields: an expiry MM/YY and a security code, or words "
      "such as a brand. A line that two readings fit is reported, not guessed. "
      "Prints each number with 'valid', 'invalid luhn', 'invalid length' (a length its "
      "network does not issue, or not 12 to 19 digits), 'invalid prefix' (no network issues "
      "it; --allow-unknown lets such a number pass on its length and check digit), 'invalid "
      "expiry' (no month 01 to 12), 'expired' (before the current month, or that of "
      "SOURCE_DATE_EPOCH) or 'invalid code' (not its network's code length) and every "
      "network that claims it, the most specific first ('JCB|RuPay'), or 'unknown'; --format "
      "json or ndjson for scripts. "
      "With several files each result "
      "starts with FILE:LINE:. A line that holds no single card number is reported as "
      "unreadable with its line number (after 20 of them, the rest are only counted). A summary "
      "goes to standard error; input with no number at all says 'no numbers read' and exits 1. "
      "--threads shares each ordinary file among threads; standard input and pipes are read on "
      "one.";

constexpr std::string_view kBrandsRule
    = "Lists every card network generate --brand takes: its id, name, lengths, security code "
      "length, print groups and published prefixes, a * marking a prefix that another network "
      "shares. --format json gives all of it, with the networks each range is shared with, for "
      "scripts. A note under the list (validatorNote in json) names a rule that a widely used "
      "validator skips for a network by design: card-validator's Luhn test for UnionPay.";

std::vector<Command> makeCommands()
{
    const PlatformTexts& texts = platformTexts();
    const std::vector<std::string> brands = engine::networkIds();
    std::vector<std::string> formats;
    for (const engine::FormatName& format : engine::formatNames())
        formats.emplace_back(format.id);
    std::vector<std::string> invalidRules;
    for (const InvalidRule rule : kInvalidRules)
        invalidRules.emplace_back(invalidRuleName(rule));
    const std::vector<std::string> checkFormats { "text", "json", "ndjson" };
    const std::vector<std::string> brandsFormats { "text", "json" };
    return {
        Command { "generate", "Write card numbers", "", "",
            {
                helpOption(),
                { "-b", "--brand", "BRAND",
                    "Network id from 'brands' (default " + brands.front() + ")", ValueKind::Word,
                    brands, false, "brand", formText<&GenerateForm::brand>(),
                    GenerateField::Brand },
                { "", "--ranges", "RANGES", "window (default) or network (all published ranges)",
                    ValueKind::Word, { "window", "network" }, false, {},
                    formText<&GenerateForm::ranges>(), GenerateField::Ranges },
                { "-p", "--prefix", "DIGITS", "Issuer prefix of your own (a BIN), with --length",
                    ValueKind::Free, {}, false, {}, formText<&GenerateForm::prefix>(),
                    GenerateField::Prefix },
                { "-l", "--length", "N", "A length of the network; 12-19 with --prefix",
                    ValueKind::Free, {}, false, {}, formText<&GenerateForm::length>(),
                    GenerateField::Length },
                { "", "--invalid", "RULE", "Fail one: luhn, length, prefix, expiry/month, code",
                    ValueKind::Word, invalidRules, false, {}, formText<&GenerateForm::invalid>(),
                    GenerateField::Invalid },
                { "-g", "--group", "", "Print the network's groups (4-4-4-4, 4-6-5)",
                    ValueKind::None, {}, false, {}, formFlag<&GenerateForm::group>(), {} },
                { "", "--separator", "C", "C between groups, not a blank (implies -g)",
                    ValueKind::Free, {}, false, {}, formText<&GenerateForm::separator>(),
                    GenerateField::Separator },
                { "-n", "--count", "N", "How many numbers (default 10, up to 2^63-1)",
                    ValueKind::Free, {}, false, {}, formText<&GenerateForm::count>(),
                    GenerateField::Count },
                { "-s", "--seed", "S", "0 to 2^64-1: the same output every time", ValueKind::Free,
                    {}, false, {}, formText<&GenerateForm::seed>(), GenerateField::Seed },
                { "-u", "--unique", "", "No number twice (keeps them in memory)", ValueKind::None,
                    {}, false, {}, formFlag<&GenerateForm::unique>(), GenerateField::Unique },
                { "", "--with-expiry", "", "Add an expiry month MM/YY, 1 to 60 months ahead",
                    ValueKind::None, {}, false, {}, formFlag<&GenerateForm::withExpiry>(), {} },
                { "", "--with-cvv", "", "Add a code of the network's length (amex 4)",
                    ValueKind::None, {}, false, {}, formFlag<&GenerateForm::withCvv>(), {} },
                { "-f", "--format", "FORMAT", "text, csv, tsv, json, ndjson, table (default text)",
                    ValueKind::Word, formats, false, "format", formText<&GenerateForm::format>(),
                    GenerateField::Format },
                { "-z", "--null", "", "End each record in NUL, not a line end (not json)",
                    ValueKind::None, {}, false, {}, formFlag<&GenerateForm::nullEnded>(),
                    GenerateField::NullEnded },
                { "", "--no-header", "", "No heading line in csv, tsv and table", ValueKind::None,
                    {}, false, {}, formFlag<&GenerateForm::noHeader>(), GenerateField::NoHeader },
                { "-o", "--output", "FILE", "Write to FILE when complete; - is standard output",
                    ValueKind::File, {}, false, {}, text<&Given::output>(), {} },
                { "-t", "--threads", "N", "Threads, default the cores; output is the same",
                    ValueKind::Free, {}, false, {}, text<&Given::threads>(), {} },
            },
            { kNumbersRule, kSeedRule, texts.outputRule },
            { { 0, "Success, also when the reader went away." },
                { 1, "A failure: an unwritable file, a full disk, not enough memory." },
                { 2, "A usage error." } },
            { texts.generateAmex, texts.generateCsv, texts.generateFile, texts.roundTrip } },
        Command { "check", "Check card numbers", "FILE",
            "Files to read; none, or -, is standard input",
            {
                helpOption(),
                { "-f", "--format", "FORMAT", "text, json or ndjson (default text)",
                    ValueKind::Word, checkFormats, true, "format", text<&Given::checkFormat>(),
                    {} },
                { "-q", "--quiet", "", "Print nothing; the exit status tells (as grep -q)",
                    ValueKind::None, {}, false, {}, flag<&Given::quiet>(), {} },
                { "", "--count", "", "Print only the summary, on standard output", ValueKind::None,
                    {}, false, {}, flag<&Given::countOnly>(), {} },
                { "", "--invalid-only", "", "Print only the verdicts of invalid numbers",
                    ValueKind::None, {}, false, {}, flag<&Given::invalidOnly>(), {} },
                { "-z", "--null", "", "Lines in and out end in NUL (not with json)",
                    ValueKind::None, {}, false, {}, flag<&Given::nullEnded>(), {} },
                { "", "--allow-unknown", "", "No network needed: length and check digit suffice",
                    ValueKind::None, {}, false, {}, flag<&Given::allowUnknown>(), {} },
                { "-t", "--threads", "N", "Threads per FILE, default 1; output is the same",
                    ValueKind::Free, {}, false, {}, text<&Given::checkThreads>(), {} },
            },
            { kCheckRule },
            { { 0, "Every number is valid." },
                { 1, "Some number is invalid, or no number was read at all." },
                { 2, "Trouble: an unreadable line or file, a failed write, or a usage error." } },
            { texts.roundTrip, texts.checkNumber } },
        Command { "brands", "List the card networks and their numbers", "", "",
            {
                helpOption(),
                { "-f", "--format", "FORMAT", "text or json (default text)", ValueKind::Word,
                    brandsFormats, true, "format", text<&Given::brandsFormat>(), {} },
            },
            { kBrandsRule },
            { { 0, "Success, also when the reader went away." },
                { 1, "The list could not be written." }, { 2, "A usage error." } },
            { texts.brandsJson } },
    };
}

Command makeProgram()
{
    Command program { "", kSummary, "", "",
        { helpOption("Print the help; after a command, its help"),
            { "-V", "--version", "", "Print the version", ValueKind::None, {}, false, {},
                flag<&Given::version>(), {} } },
        {}, {}, {} };
    const PlatformTexts& texts = platformTexts();
    program.examples = { texts.generateAmex, texts.generateCsv, texts.generateFile, texts.roundTrip,
        texts.checkNumber, texts.brandsJson };
    return program;
}

} // namespace

std::span<const Command> commandTable()
{
    static const std::vector<Command> commands = makeCommands();
    return commands;
}

const Command& programCommand()
{
    static const Command program = makeProgram();
    return program;
}

const Command* findCommand(std::string_view name)
{
    const auto commands = commandTable();
    const auto found = std::find_if(
        commands.begin(), commands.end(), [&](const Command& c) { return c.name == name; });
    return found == commands.end() ? nullptr : &*found;
}

std::vector<std::string> optionNames(const Command& command)
{
    std::vector<std::string> names;
    for (const Option& option : command.options) {
        if (!option.shortName.empty())
            names.emplace_back(option.shortName);
        names.emplace_back(option.longName);
    }
    return names;
}

std::string_view optionNaming(engine::GenerateField field) noexcept
{
    for (const Option& option : findCommand("generate")->options) {
        if (option.field == field)
            return option.longName;
    }
    return {};
}

const Option* findOption(const Command& command, std::string_view name)
{
    for (const Option& option : command.options) {
        if (option.shortName == name || option.longName == name)
            return &option;
    }
    return nullptr;
}

} // namespace pellorin::cli
