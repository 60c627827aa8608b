#include "CommandLine.h"

#include "BrandsListing.h"
#include "GenerateForm.h"
#include "Phrases.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <limits>
#include <sstream>
#include <variant>

namespace pellorin::cli {

namespace {

using engine::Format;
using engine::listed;
using engine::networkIds;
using engine::suggestion;

constexpr std::string_view kProgram = "pellorin-cli";
constexpr unsigned kMaxThreads = 256;
constexpr std::size_t kTextWidth = 79;

template <typename Names> std::vector<std::string> idsOf(const Names& names)
{
    std::vector<std::string> ids;
    ids.reserve(names.size());
    for (const auto& name : names)
        ids.emplace_back(name.id);
    return ids;
}

// The texts --help and the manual page share. Paragraphs are plain text;
// both wrap them to their width.
constexpr std::string_view kSummary
    = "Test payment-card numbers for scripts and CI: every card network of 'pellorin-cli "
      "brands' or a prefix of your own, each with a valid Luhn check digit, or invalid on "
      "purpose.";

constexpr std::string_view kGenerateSummary = "Write card numbers";
constexpr std::string_view kCheckSummary = "Check card numbers";

constexpr std::string_view kNumbersRule
    = "visa, mastercard, amex and discover give the window's numbers: its issuer prefixes and "
      "length, digits 1 to 9 after the prefix (never 0) and a check digit that is never 0. "
      "Every other network draws from the prefixes it alone claims for the length, so a "
      "number is known by its network alone; --ranges network draws from all the network's "
      "published ranges, shared ones too; either way every Luhn-valid number of the ranges and "
      "the length has the same chance. --invalid luhn, length "
      "or prefix breaks exactly that rule. --prefix DIGITS --length N gives "
      "every Luhn-valid number with that prefix and length with the same chance, digits 0 to 9 "
      "after the prefix; a prefix inside a network's range makes that network's numbers (named as "
      "check names them, with its security code length), any other is \"Custom\".";

constexpr std::string_view kSeedRule
    = "Without --seed every run is random and differs from the last. With --seed the output is "
      "a promise: the same version of pellorin-cli, the same arguments and the same seed give "
      "the same bytes, on any machine and with any --threads. Expiry dates count from the "
      "current month, or from the month of SOURCE_DATE_EPOCH when that is set.";

constexpr std::string_view kOutputRule
    = "--output FILE writes a new file that gets its name only when complete, so a failed, "
      "interrupted or killed run leaves the old file as it was and nothing else. A symlink is "
      "written through to its target; mode and, where allowed, owner are kept. The trade-off: a "
      "file with more than one hard link, and a writable file in a folder that takes no new "
      "file, are written in place as the shell's '>' would, and a failed run leaves them cut "
      "short. A reader that goes away (| head) ends the run quietly.";

constexpr std::string_view kCheckRule
    = "Reads what generate writes, in any format and with any extras, or one number per line "
      "(blanks and dashes between its digits are fine), from each FILE or standard input ('-'). "
      "Prints each number with 'valid', 'invalid luhn' or 'invalid length' (a length its "
      "network does not issue, or not 12 to 19 digits) and every network that claims it, the "
      "most specific first ('JCB|RuPay'), or 'unknown'; --format json or ndjson for scripts. "
      "With several files each result "
      "starts with FILE:LINE:. A line that holds no single card number is reported as "
      "unreadable with its line number (after 20 of them, the rest are only counted). A summary "
      "goes to standard error.";

struct Status {
    int code;
    std::string_view meaning;
};
constexpr std::array kGenerateStatus { Status { 0, "Success, also when the reader went away." },
    Status { 1, "A failure: an unwritable file, a full disk, not enough memory." },
    Status { 2, "A usage error." } };
constexpr std::array kCheckStatus { Status { 0, "Every number is valid." },
    Status { 1, "Some number is invalid." },
    Status { 2, "A line or file could not be read, or a usage error." } };

constexpr std::string_view kEnvironment
    = "The time, in seconds since 1970, whose month expiry dates count from instead of the "
      "current one, for reproducible --with-expiry output. Read only with --with-expiry; set to "
      "nothing it counts as unset.";

struct Example {
    std::string_view command;
    std::string_view meaning;
};
constexpr std::array kExamples {
    Example { "pellorin-cli generate --brand amex --count 3 --seed 42",
        "Three American Express numbers, the same three every time." },
    Example { "pellorin-cli generate -p 411111 -l 16 -n 1000 --unique --seed 7 --format csv",
        "A thousand different Visa numbers with the prefix 411111, as CSV." },
    Example { "pellorin-cli generate --count 100000000 --threads 4 --output numbers.txt",
        "A hundred million numbers into a file that appears only when complete." },
    Example { "pellorin-cli generate --with-cvv --format json | pellorin-cli check",
        "check reads what generate writes." },
    Example { "printf '4539 1488 0343 6467\\n' | pellorin-cli check", "Check a number." },
};

std::string wrapped(std::string_view text, std::size_t indent = 0)
{
    std::string out;
    std::size_t column = 0;
    while (!text.empty()) {
        const std::size_t space = text.find(' ');
        const std::string_view word = text.substr(0, space);
        if (column > indent && column + 1 + word.size() > kTextWidth) {
            out += '\n';
            column = 0;
        }
        if (column == 0) {
            out.append(indent, ' ');
            column = indent;
        } else {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        text.remove_prefix(space == std::string_view::npos ? text.size() : space + 1);
    }
    return out + "\n";
}

std::string examplesText(std::string_view only)
{
    std::string text = "Examples:\n";
    for (const Example& e : kExamples) {
        if (e.command.find(only) != std::string_view::npos)
            text += "  " + std::string(e.command) + "\n";
    }
    return text;
}

std::string statusText(const auto& statuses)
{
    std::string text = "Exit status:\n";
    for (const Status& s : statuses)
        text += "  " + std::to_string(s.code) + "  " + std::string(s.meaning) + "\n";
    return text;
}

// What the options write into, before they are checked.
struct Texts {
    std::string brand = "visa", prefix, length, count, seed, format = "text", output, threads;
    std::string ranges, invalid, separator, checkFormat = "text", brandsFormat = "text";
    std::vector<std::string> files;
    bool unique = false, withExpiry = false, withCvv = false, group = false;
};

// One option: for CLI11, --help, the manual page and completion alike.
struct OptionRow {
    std::string names; // "-b,--brand"
    std::string value; // "BRAND"; empty for a flag
    std::string help; // its line in --help
    std::vector<std::string> choices; // what completion offers
    std::string* text = nullptr;
    bool* flag = nullptr;
};

std::vector<OptionRow> generateOptions(Texts& t)
{
    const std::vector<std::string> brands = networkIds();
    const std::vector<std::string> formats = idsOf(engine::formatNames());
    return {
        { "-b,--brand", "BRAND", "Network id from 'brands' (default " + brands.front() + ")",
            brands, &t.brand },
        { "--ranges", "RANGES", "window (default) or network (all published ranges)",
            { "window", "network" }, &t.ranges },
        { "-p,--prefix", "DIGITS", "Issuer prefix of your own (a BIN), with --length", {},
            &t.prefix },
        { "-l,--length", "N", "A length of the network; 12-19 with --prefix", {}, &t.length },
        { "--invalid", "RULE", "Fail exactly one rule: luhn, length or prefix",
            { "luhn", "length", "prefix" }, &t.invalid },
        { "-g,--group", "", "Print the network's groups (4-4-4-4, 4-6-5)", {}, nullptr, &t.group },
        { "--separator", "C", "C between groups, not a blank (implies -g)", {}, &t.separator },
        { "-n,--count", "N", "How many numbers (default 10, up to 2^63-1)", {}, &t.count },
        { "-s,--seed", "S", "0 to 2^64-1: the same output every time", {}, &t.seed },
        { "-u,--unique", "", "No number twice (keeps them in memory)", {}, nullptr, &t.unique },
        { "--with-expiry", "", "Add an expiry month MM/YY, 1 to 60 months ahead", {}, nullptr,
            &t.withExpiry },
        { "--with-cvv", "", "Add a code of the network's length (amex 4)", {}, nullptr,
            &t.withCvv },
        { "-f,--format", "FORMAT", listed(formats) + " (default " + formats.front() + ")", formats,
            &t.format },
        { "-o,--output", "FILE", "Write to FILE when complete; - is standard output", {},
            &t.output },
        { "-t,--threads", "N", "Threads, default the cores; output is the same", {}, &t.threads },
    };
}

std::vector<std::string> namesOf(const std::string& names)
{
    std::vector<std::string> all;
    std::istringstream in(names);
    for (std::string name; std::getline(in, name, ',');)
        all.push_back(name);
    return all;
}

// The command line as CLI11 reads it, built from the table above.
struct Parser {
    CLI::App app { std::string(kSummary), std::string(kProgram) };
    CLI::App* generate = nullptr;
    CLI::App* check = nullptr;
    CLI::App* brands = nullptr;
    Texts texts;
    std::vector<OptionRow> options = generateOptions(texts);

    Parser()
    {
        app.set_version_flag(
            "-V,--version", std::string(kProgram) + " " + programVersion(), "Print the version");
        app.description(wrapped(kSummary));
        app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
        app.footer("\n"
            + wrapped("Run 'pellorin-cli generate --help' or 'pellorin-cli check --help' for "
                      "their options.")
            + "\n" + examplesText("pellorin-cli"));

        generate = app.add_subcommand("generate", std::string(kGenerateSummary));
        generate->allow_extras();
        for (OptionRow& row : options) {
            CLI::Option* option = row.flag != nullptr
                ? generate->add_flag(row.names, *row.flag, row.help)
                : generate->add_option(row.names, *row.text, row.help)->type_name(row.value);
            option->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
        }
        generate->footer("\n" + wrapped(kNumbersRule) + "\n" + wrapped(kSeedRule) + "\n"
            + wrapped(kOutputRule) + "\n" + statusText(kGenerateStatus) + "\n"
            + examplesText("generate"));

        check = app.add_subcommand("check", std::string(kCheckSummary));
        check->allow_extras();
        check->add_option("-f,--format", texts.checkFormat, "text, json or ndjson (default text)")
            ->type_name("FORMAT")
            ->check(CLI::IsMember({ "text", "json", "ndjson" }));
        check->add_option("FILE", texts.files, "Files to read (default standard input)")
            ->type_name("");
        check->footer("\n" + wrapped(kCheckRule) + "\n" + statusText(kCheckStatus) + "\n"
            + examplesText("check"));

        brands = app.add_subcommand("brands", "List the card networks and their numbers");
        brands->add_option("-f,--format", texts.brandsFormat, "text or json (default text)")
            ->type_name("FORMAT")
            ->check(CLI::IsMember({ "text", "json" }));
    }
};

std::vector<std::string> optionNames(const std::vector<OptionRow>& options)
{
    std::vector<std::string> names { "--help" };
    for (const OptionRow& row : options) {
        for (const std::string& name : namesOf(row.names))
            names.push_back(name);
    }
    return names;
}

// How the value checks name the fields of a request: by their options.
std::string_view optionName(engine::GenerateField field) noexcept
{
    switch (field) {
    case engine::GenerateField::Brand:
        return "--brand";
    case engine::GenerateField::Ranges:
        return "--ranges";
    case engine::GenerateField::Prefix:
        return "--prefix";
    case engine::GenerateField::Length:
        return "--length";
    case engine::GenerateField::Invalid:
        return "--invalid";
    case engine::GenerateField::Separator:
        return "--separator";
    case engine::GenerateField::Count:
        return "--count";
    case engine::GenerateField::Seed:
        return "--seed";
    case engine::GenerateField::Format:
        return "--format";
    case engine::GenerateField::Unique:
        return "--unique";
    }
    return {};
}

// The request the options ask for, checked by the engine, and what only the
// command line has: threads and the output file. Returns an error message
// or nothing.
std::optional<std::string> finishGenerate(
    const Texts& texts, const CLI::App& app, GenerateCommand& command)
{
    engine::GenerateForm form;
    auto given = [&](const char* option, const std::string& text) {
        return app.count(option) > 0 ? std::optional<std::string>(text) : std::nullopt;
    };
    form.brand = given("--brand", texts.brand);
    form.ranges = given("--ranges", texts.ranges);
    form.prefix = given("--prefix", texts.prefix);
    form.length = given("--length", texts.length);
    form.invalid = given("--invalid", texts.invalid);
    form.separator = given("--separator", texts.separator);
    form.count = given("--count", texts.count);
    form.seed = given("--seed", texts.seed);
    form.format = texts.format;
    form.group = texts.group;
    form.unique = texts.unique;
    form.withExpiry = texts.withExpiry;
    form.withCvv = texts.withCvv;
    auto read = engine::readGenerateRequest(form, optionName);
    if (const auto* refusal = std::get_if<engine::Refusal>(&read))
        return engine::refusalText(*refusal, optionName);
    command.request = std::get<engine::GenerateRequest>(std::move(read));

    if (app.count("--threads") > 0) {
        const auto threads = engine::readWhole(texts.threads, kMaxThreads);
        if (!threads || *threads == 0)
            return "--threads: expected a whole number from 1 to " + std::to_string(kMaxThreads)
                + ", got '" + texts.threads + "'";
        command.threads = unsigned(*threads);
    }
    if (app.count("--output") > 0 && texts.output.empty())
        return "--output: expected a file name, or - for standard output";
    command.output = texts.output == "-" ? std::string() : texts.output;
    return std::nullopt;
}

// Words CLI11 left over: unknown options and arguments no option takes.
std::optional<std::string> leftOver(
    const std::vector<std::string>& words, const std::vector<std::string>& options)
{
    if (words.empty())
        return std::nullopt;
    for (const std::string& word : words) {
        if (word.starts_with('-') && word.size() > 1) {
            const std::string name = word.substr(0, word.find('='));
            return "unknown option '" + name + "'" + suggestion(name, options);
        }
    }
    std::string quoted;
    for (const std::string& word : words)
        quoted += (quoted.empty() ? "'" : " '") + word + "'";
    return (words.size() == 1 ? "unexpected argument " : "unexpected arguments ") + quoted;
}

// roff text: a backslash and a minus escaped, and a line that would start
// with a control character kept as text.
std::string roff(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
        if ((c == '.' || c == '\'') && (out.size() == 1 || out[out.size() - 2] == '\n'))
            out.insert(out.size() - 1, "\\&");
    }
    return out;
}

// "-b, --brand BRAND" with the names bold and the value in italics.
std::string roffOption(const OptionRow& row)
{
    std::string text;
    for (const std::string& name : namesOf(row.names))
        text += (text.empty() ? "\\fB" : ", \\fB") + roff(name) + "\\fR";
    if (!row.value.empty())
        text += " \\fI" + roff(row.value) + "\\fR";
    return text;
}

std::string roffStatus(const auto& statuses)
{
    std::string text;
    for (const Status& s : statuses)
        text += ".TP\n.B " + std::to_string(s.code) + "\n" + roff(s.meaning) + "\n";
    return text;
}

} // namespace

const char* programVersion() noexcept
{
    return PELLORIN_VERSION;
}

std::string usageError(std::string_view command, std::string_view message)
{
    const std::string program(kProgram);
    // The words quoted from the command line may hold line ends and other
    // control characters; shown as '?', as ls shows them, the message stays
    // one line.
    std::string line(message);
    std::replace_if(
        line.begin(), line.end(), [](char c) { return (c >= 0 && c < ' ') || c == '\x7f'; }, '?');
    return program + ": error: " + line + "\nTry '" + program + (command.empty() ? "" : " ")
        + std::string(command) + " --help'.\n";
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments, unsigned defaultThreads)
{
    CommandLine result;
    result.generate.threads = std::clamp(defaultThreads, 1U, kMaxThreads);
    auto fail = [&](std::string_view command, const std::string& message) {
        result.kind = CommandLine::Kind::UsageError;
        result.text = usageError(command, message);
        return result;
    };

    const std::vector<std::string> commands { "generate", "check", "brands" };
    const std::vector<std::string> programOptions { "-h", "--help", "-V", "--version" };
    if (arguments.empty())
        return fail("", "no command given: generate or check");
    // CLI11 would only say that a command is missing.
    const std::string& first = arguments[0];
    if (first.starts_with('-')
        && std::find(programOptions.begin(), programOptions.end(), first) == programOptions.end())
        return fail("", "unknown option '" + first + "'" + suggestion(first, programOptions));
    if (!first.starts_with('-') && first != "generate" && first != "check" && first != "brands")
        return fail(
            "", "unknown command '" + first + "'" + [&] {
                const std::string near = suggestion(first, commands);
                return near.empty() ? std::string(" (expected generate, check or brands)") : near;
            }());

    Parser parser;
    std::vector<const char*> argv { kProgram.data() };
    for (const std::string& a : arguments)
        argv.push_back(a.c_str());
    auto commandName = [&]() -> std::string_view {
        if (parser.generate->parsed() > 0)
            return "generate";
        if (parser.check->parsed() > 0)
            return "check";
        if (parser.brands->parsed() > 0)
            return "brands";
        return "";
    };
    try {
        parser.app.parse(int(argv.size()), argv.data());
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) {
            std::ostringstream out, err;
            parser.app.exit(error, out, err);
            result.kind = CommandLine::Kind::Message;
            result.text = out.str();
            return result;
        }
        std::string message = error.what();
        // CLI11 says "--count: 1 required N missing" for an option given
        // last without its value.
        if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr)
            message = "option '" + message.substr(0, message.find(':')) + "' needs a value";
        return fail(commandName(), message);
    }

    if (parser.check->parsed() > 0) {
        std::vector<std::string> rest = parser.check->remaining();
        if (const auto message = leftOver(rest, { "--help" }))
            return fail("check", *message);
        result.kind = CommandLine::Kind::Check;
        result.check.files = parser.texts.files;
        result.check.request.format = parser.texts.checkFormat == "json" ? Format::Json
            : parser.texts.checkFormat == "ndjson"                       ? Format::Ndjson
                                                                         : Format::Text;
        return result;
    }
    if (parser.brands->parsed() > 0) {
        result.kind = CommandLine::Kind::Message;
        result.text = engine::brandsListing(
            parser.texts.brandsFormat == "json" ? Format::Json : Format::Text);
        return result;
    }
    if (const auto message = leftOver(parser.generate->remaining(), optionNames(parser.options)))
        return fail("generate", *message);
    if (const auto message = finishGenerate(parser.texts, *parser.generate, result.generate))
        return fail("generate", *message);
    result.kind = CommandLine::Kind::Generate;
    return result;
}

std::string manualPage(std::string_view date)
{
    Parser parser;
    std::string page = R"(.TH PELLORIN\-CLI 1 ")" + std::string(date) + R"(" "pellorin\-cli )"
        + programVersion() + "\" \"User Commands\"\n";
    page += ".SH NAME\npellorin\\-cli \\- test payment\\-card numbers for scripts and CI\n";
    page += ".SH SYNOPSIS\n.B pellorin\\-cli generate\n[\\fIOPTIONS\\fR]\n.br\n"
            ".B pellorin\\-cli check\n[\\fIFILE\\fR...]\n.br\n"
            ".B pellorin\\-cli\n\\fB\\-\\-help\\fR | \\fB\\-\\-version\\fR\n";
    page += ".SH DESCRIPTION\n" + roff(kSummary) + "\n.PP\n" + roff(kNumbersRule) + "\n.PP\n"
        + roff(kSeedRule) + "\n";
    page += ".SH COMMANDS\n.TP\n.B generate\n" + roff(kGenerateSummary) + ". " + roff(kOutputRule)
        + "\n.TP\n\\fBcheck\\fR [\\fIFILE\\fR...]\n" + roff(kCheckRule) + "\n";
    page += ".SH OPTIONS\n.SS generate\n";
    for (const OptionRow& row : parser.options)
        page += ".TP\n" + roffOption(row) + "\n" + roff(row.help) + ".\n";
    page += ".SS check\n.TP\n\\fIFILE\\fR...\nFiles to read; none, or \\fB\\-\\fR, is "
            "standard input.\n";
    page += ".SS All commands\n.TP\n\\fB\\-h\\fR, \\fB\\-\\-help\\fR\n"
            "Print the help of the program or of a command.\n"
            ".TP\n\\fB\\-V\\fR, \\fB\\-\\-version\\fR\nPrint the version.\n"
            ".PP\nA repeated option takes its last value.\n";
    page += ".SH EXIT STATUS\n.SS generate\n" + roffStatus(kGenerateStatus) + ".SS check\n"
        + roffStatus(kCheckStatus);
    page += ".SH ENVIRONMENT\n.TP\n.B SOURCE_DATE_EPOCH\n" + roff(kEnvironment) + "\n";
    page += ".SH EXAMPLES\n";
    for (const Example& e : kExamples)
        page += ".PP\n" + roff(e.meaning) + "\n.PP\n.RS\n.EX\n" + roff(e.command) + "\n.EE\n.RE\n";
    page += ".SH SEE ALSO\n.BR pellorin (1)\n";
    return page;
}

std::string bashCompletion()
{
    Parser parser;
    std::string valueOptions, choiceCases, names;
    for (const OptionRow& row : parser.options) {
        std::string pattern;
        for (const std::string& name : namesOf(row.names)) {
            pattern += (pattern.empty() ? "" : " | ") + name;
            if (name.starts_with("--"))
                names += (names.empty() ? "" : " ") + name;
        }
        if (!row.choices.empty()) {
            std::string words;
            for (const std::string& choice : row.choices)
                words.append(words.empty() ? "" : " ").append(choice);
            choiceCases.append("                ")
                .append(pattern)
                .append(")\n                    COMPREPLY=($(compgen -W '")
                .append(words)
                .append("' -- \"$cur\"))\n                    return\n                    ;;\n");
        } else if (row.value == "FILE") {
            choiceCases += "                " + pattern
                + ")\n                    _filedir\n                    return\n                   "
                  " ;;\n";
        } else if (!row.value.empty()) {
            valueOptions += (valueOptions.empty() ? "" : " | ") + pattern;
        }
    }
    return "# bash completion for pellorin-cli, made from its option table by the build\n"
           "\n"
           "_pellorin_cli()\n"
           "{\n"
           "    local cur prev words cword\n"
           "    _init_completion || return\n"
           "\n"
           "    local command=\"\" word\n"
           "    for word in \"${words[@]:1:cword-1}\"; do\n"
           "        case $word in\n"
           "            generate | check | brands)\n"
           "                command=$word\n"
           "                break\n"
           "                ;;\n"
           "        esac\n"
           "    done\n"
           "\n"
           "    case $command in\n"
           "        \"\")\n"
           "            COMPREPLY=($(compgen -W 'generate check brands --help --version' -- "
           "\"$cur\"))\n"
           "            ;;\n"
           "        generate)\n"
           "            case $prev in\n"
        + choiceCases + "                " + valueOptions
        + ")\n"
          "                    return\n"
          "                    ;;\n"
          "            esac\n"
          "            COMPREPLY=($(compgen -W '"
        + names
        + " --help' -- \"$cur\"))\n"
          "            ;;\n"
          "        check)\n"
          "            if [[ $prev == -f || $prev == --format ]]; then\n"
          "                COMPREPLY=($(compgen -W 'text json ndjson' -- \"$cur\"))\n"
          "            elif [[ $cur == -* ]]; then\n"
          "                COMPREPLY=($(compgen -W '--format --help' -- \"$cur\"))\n"
          "            else\n"
          "                _filedir\n"
          "            fi\n"
          "            ;;\n"
          "        brands)\n"
          "            if [[ $prev == -f || $prev == --format ]]; then\n"
          "                COMPREPLY=($(compgen -W 'text json' -- \"$cur\"))\n"
          "            else\n"
          "                COMPREPLY=($(compgen -W '--format --help' -- \"$cur\"))\n"
          "            fi\n"
          "            ;;\n"
          "    esac\n"
          "} && complete -F _pellorin_cli pellorin-cli\n";
}

} // namespace pellorin::cli
