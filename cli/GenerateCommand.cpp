// generate: card numbers, written in order on any number of threads.

#include "CommandLine.h"
#include "Commands.h"
#include "OrderedWriter.h"
#include "Output.h"
#include "Phrases.h"
#include "PlatformTexts.h"

#include <pellorin/generate.h>

#include <variant>

namespace pellorin::cli {

namespace {

using engine::GenerateField;

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

std::vector<Option> options()
{
    const std::vector<std::string> brands = engine::networkIds();
    std::vector<std::string> formats;
    for (const engine::FormatName& format : engine::formatNames())
        formats.emplace_back(format.id);
    std::vector<std::string> invalidRules;
    // "luhn, length, prefix, expiry/month, code": month is the other way an
    // expiry fails.
    std::string invalidHelp = "Fail one: ";
    for (const InvalidRule rule : kInvalidRules) {
        if (!invalidRules.empty())
            invalidHelp += rule == InvalidRule::Month ? "/" : ", ";
        invalidRules.emplace_back(invalidRuleName(rule));
        invalidHelp += invalidRules.back();
    }
    return {
        helpOption(),
        { .shortName = "-b",
            .longName = "--brand",
            .value = "BRAND",
            .help = "Network id from 'brands' (default " + brands.front() + ")",
            .kind = ValueKind::Word,
            .words = brands,
            .noun = "brand",
            .field = GenerateField::Brand },
        { .longName = "--ranges",
            .value = "RANGES",
            .help = "window (default) or network (all published ranges)",
            .kind = ValueKind::Word,
            .words = { "window", "network" },
            .field = GenerateField::Ranges },
        { .shortName = "-p",
            .longName = "--prefix",
            .value = "DIGITS",
            .help = "Issuer prefix of your own (a BIN), with --length",
            .kind = ValueKind::Free,
            .field = GenerateField::Prefix },
        { .shortName = "-l",
            .longName = "--length",
            .value = "N",
            .help = "A length of the network; 12-19 with --prefix",
            .kind = ValueKind::Free,
            .field = GenerateField::Length },
        { .longName = "--invalid",
            .value = "RULE",
            .help = invalidHelp,
            .kind = ValueKind::Word,
            .words = invalidRules,
            .field = GenerateField::Invalid },
        { .shortName = "-g",
            .longName = "--group",
            .help = "Print the network's groups (4-4-4-4, 4-6-5)" },
        { .longName = "--separator",
            .value = "C",
            .help = "C between groups, not a blank (implies -g)",
            .kind = ValueKind::Free,
            .field = GenerateField::Separator },
        { .shortName = "-n",
            .longName = "--count",
            .value = "N",
            .help = "How many numbers (default 10, up to 2^63-1)",
            .kind = ValueKind::Free,
            .field = GenerateField::Count },
        { .shortName = "-s",
            .longName = "--seed",
            .value = "S",
            .help = "0 to 2^64-1: the same output every time",
            .kind = ValueKind::Free,
            .field = GenerateField::Seed },
        { .shortName = "-u",
            .longName = "--unique",
            .help = "No number twice (keeps them in memory)",
            .field = GenerateField::Unique },
        { .longName = "--with-expiry", .help = "Add an expiry month MM/YY, 1 to 60 months ahead" },
        { .longName = "--with-cvv", .help = "Add a code of the network's length (amex 4)" },
        { .shortName = "-f",
            .longName = "--format",
            .value = "FORMAT",
            .help = engine::listed(formats, ", ") + " (default " + formats.front() + ")",
            .kind = ValueKind::Word,
            .words = formats,
            .noun = "format",
            .field = GenerateField::Format },
        { .shortName = "-z",
            .longName = "--null",
            .help = "End each record in NUL, not a line end (not json)",
            .field = GenerateField::NullEnded },
        { .longName = "--no-header",
            .help = "No heading line in csv, tsv and table",
            .field = GenerateField::NoHeader },
        { .shortName = "-o",
            .longName = "--output",
            .value = "FILE",
            .help = "Write to FILE when complete; - is standard output",
            .kind = ValueKind::File },
        { .shortName = "-t",
            .longName = "--threads",
            .value = "N",
            .help = "Threads, default the cores; output is the same",
            .kind = ValueKind::Free },
    };
}

// The options as the public API reads them, by name; the engine passed them
// already.
pellorin::request askedOf(const engine::GenerateForm& form)
{
    std::vector<pellorin::option> options;
    for (const auto& [name, text] : { std::pair { "brand", &form.brand },
             { "ranges", &form.ranges }, { "prefix", &form.prefix }, { "length", &form.length },
             { "invalid", &form.invalid }, { "separator", &form.separator },
             { "count", &form.count }, { "seed", &form.seed }, { "format", &form.format } }) {
        if (*text)
            options.push_back({ name, **text });
    }
    for (const auto& [name, set] : { std::pair { "group", form.group }, { "unique", form.unique },
             { "with_expiry", form.withExpiry }, { "with_cvv", form.withCvv },
             { "null", form.nullEnded }, { "no_header", form.noHeader } }) {
        if (set)
            options.push_back({ name, {} });
    }
    return pellorin::read_request(options);
}

// The request the options ask for, checked by the engine, and what only the
// command line has: threads and the output file.
std::optional<std::string> finish(const Given& given, CommandLine& line)
{
    engine::GenerateForm form;
    form.brand = given.text("--brand");
    form.ranges = given.text("--ranges");
    form.prefix = given.text("--prefix");
    form.length = given.text("--length");
    form.invalid = given.text("--invalid");
    form.group = given.has("--group");
    form.separator = given.text("--separator");
    form.count = given.text("--count");
    form.seed = given.text("--seed");
    form.unique = given.has("--unique");
    form.withExpiry = given.has("--with-expiry");
    form.withCvv = given.has("--with-cvv");
    form.format = given.text("--format");
    form.nullEnded = given.has("--null");
    form.noHeader = given.has("--no-header");

    GenerateCommand& command = line.generate;
    auto read = engine::readGenerateRequest(form, optionNaming);
    if (const auto* refusal = std::get_if<engine::Refusal>(&read))
        return engine::refusalText(*refusal, optionNaming);
    command.request = std::get<engine::GenerateRequest>(std::move(read));
    command.asked = askedOf(form);
    if (auto refusal = readThreads(given, command.threads))
        return refusal;
    const std::optional<std::string> output = given.text("--output");
    if (output && output->empty())
        return "--output: expected a file name, or - for standard output";
    command.output = output.value_or("-") == "-" ? std::string() : *output;
    line.kind = CommandLine::Kind::Generate;
    return std::nullopt;
}

// Writes the numbers in order, block by block on the command's threads.
// Returns false when the reader went away before the end. Throws
// OutputError, or pellorin::out_of_memory for --unique.
bool writeNumbers(const GenerateCommand& command, Output& output)
{
    const output_blocks blocks(command.asked);
    return writeInOrder(
        blocks.size(), blocks.in_order() ? 1U : command.threads,
        [&](std::uint64_t block, ByteBuffer& out) { out.append(blocks.make(block)); },
        [&](std::string_view bytes) { return output.write(bytes); });
}

int run(const CommandLine& line)
{
    GenerateCommand command = line.generate;
    // Only expiry dates depend on the date, so only they can be let down
    // by a malformed one; an expiry rule writes them unasked.
    if (command.request.withExpiry) {
        const auto month = currentMonth();
        if (!month)
            return refuseSourceDate();
        command.asked.month = *month;
    }
    Output output(command.output);
    // A reader that went away is no error for a generator: it simply had
    // enough.
    if (writeNumbers(command, output))
        output.commit();
    return 0;
}

} // namespace

Command generateCommand()
{
    const PlatformTexts& texts = platformTexts();
    return {
        .name = "generate",
        .summary = "Write card numbers",
        .options = options(),
        .rules = { kNumbersRule, kSeedRule, texts.outputRule },
        .statuses = { { 0, "Success, also when the reader went away." },
            { 1, "A failure: an unwritable file, a full disk, not enough memory." },
            { 2, "A usage error." } },
        .examples = { texts.generateAmex, texts.generateCsv, texts.generateFile, texts.roundTrip },
        .finish = finish,
        .run = run,
    };
}

} // namespace pellorin::cli
