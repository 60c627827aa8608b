#include "CommandLine.h"

#include "CommandTable.h"
#include "HelpText.h"
#include "Phrases.h"
#include "Suggestions.h"

#include <CLI/CLI.hpp>
#include <pellorin/networks.h>

#include <algorithm>
#include <variant>

namespace pellorin::cli {

using engine::Format;

const char* programVersion() noexcept
{
    return PELLORIN_VERSION;
}

std::string usageError(std::string_view command, std::string_view message)
{
    const std::string program(kProgram);
    // The words quoted from the command line may hold line ends and other
    // control characters; shown as '?', as ls shows them, the message stays
    // one line. A TAB, the one a user types on purpose (--separator), is
    // shown as \t.
    std::string line;
    for (const char c : message) {
        if (c == '\t')
            line += "\\t";
        else
            line += (c >= 0 && c < ' ') || c == '\x7f' ? '?' : c;
    }
    return program + ": error: " + line + "\nTry '" + program + (command.empty() ? "" : " ")
        + std::string(command) + " --help'.\n";
}

namespace {

// The command line as CLI11 reads it, built from the command table: CLI11
// splits the words, and the table says what each one means.
class Parser {
public:
    explicit Parser(const Command& command)
        : m_command(command)
    {
        m_app.set_help_flag();
        m_app.allow_extras();
        // Built for Windows, CLI11 would read "/name" as an option; here it
        // is a file name there too.
        m_app.allow_windows_style_options(false);
        m_app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
        for (const Option& option : command.options) {
            std::string names;
            if (!option.shortName.empty())
                names.append(option.shortName).append(",");
            names += option.longName;
            CLI::Option* added = option.kind == ValueKind::None
                ? m_app.add_flag(names)
                : m_app.add_option(names)->type_name(std::string(option.value));
            m_bound.emplace_back(&option, added);
        }
        if (!command.operand.empty())
            m_app.add_option(std::string(command.operand), m_given.files);
    }

    // Reads `words`, the command's name left out. Returns a refusal, or
    // nothing.
    std::optional<std::string> parse(const std::vector<std::string>& words)
    {
        // CLI11 takes its words last first.
        std::vector<std::string> reversed(words.rbegin(), words.rend());
        try {
            m_app.parse(reversed);
        } catch (const CLI::ParseError& error) {
            // CLI11 says "--count: 1 required N missing" for an option given
            // last without its value.
            std::string message = error.what();
            if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr)
                message = "option '" + message.substr(0, message.find(':')) + "' needs a value";
            return message;
        }
        for (const auto& [option, parsed] : m_bound) {
            if (parsed->count() == 0)
                continue;
            const std::string value
                = option->kind == ValueKind::None ? std::string() : parsed->results().back();
            if (option->onlyWords
                && std::find(option->words.begin(), option->words.end(), value)
                    == option->words.end())
                return unknownWord(*option, value);
            option->set(m_given, value);
        }
        if (m_given.help || m_given.version)
            return std::nullopt;
        return leftOver(m_command, m_app.remaining());
    }

    const Given& given() const noexcept { return m_given; }

private:
    const Command& m_command;
    CLI::App m_app;
    Given m_given;
    std::vector<std::pair<const Option*, CLI::Option*>> m_bound;
};

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
// command line has: threads and the output file. Returns an error message
// or nothing.
std::optional<std::string> finishGenerate(const Given& given, GenerateCommand& command)
{
    auto read = engine::readGenerateRequest(given.generate, optionNaming);
    if (const auto* refusal = std::get_if<engine::Refusal>(&read))
        return engine::refusalText(*refusal, optionNaming);
    command.request = std::get<engine::GenerateRequest>(std::move(read));
    command.asked = askedOf(given.generate);

    if (given.threads) {
        const auto threads = engine::readWhole(*given.threads, kMaxThreads);
        if (!threads || *threads == 0)
            return "--threads: expected a whole number from 1 to " + std::to_string(kMaxThreads)
                + ", got '" + *given.threads + "'";
        command.threads = unsigned(*threads);
    }
    if (given.output && given.output->empty())
        return "--output: expected a file name, or - for standard output";
    command.output = given.output.value_or("-") == "-" ? std::string() : *given.output;
    return std::nullopt;
}

// What check is asked: its format, which verdicts it writes and how, and
// how many threads read. Returns an error message or nothing.
std::optional<std::string> finishCheck(const Given& given, CheckCommand& command)
{
    engine::CheckRequest& request = command.request;
    request.format = engine::formatNamed(given.checkFormat.value_or("text")).value_or(Format::Text);
    const std::vector<std::pair<bool, const char*>> modes { { given.quiet, "--quiet" },
        { given.countOnly, "--count" }, { given.invalidOnly, "--invalid-only" } };
    const char* mode = nullptr;
    for (const auto& [wanted, name] : modes) {
        if (!wanted)
            continue;
        if (mode != nullptr)
            return std::string(mode) + " cannot be used with " + name;
        mode = name;
    }
    request.quiet = given.quiet;
    command.countOnly = given.countOnly;
    request.shown = given.invalidOnly    ? engine::CheckShown::Invalid
        : given.quiet || given.countOnly ? engine::CheckShown::None
                                         : engine::CheckShown::All;
    request.nullEnded = given.nullEnded;
    if (request.nullEnded && request.format == Format::Json && !given.quiet && !given.countOnly)
        return "--null: --format json writes one array; ndjson records can end in NUL";
    request.allowUnknown = given.allowUnknown;
    if (given.checkThreads) {
        const auto threads = engine::readWhole(*given.checkThreads, kMaxThreads);
        if (!threads || *threads == 0)
            return "--threads: expected a whole number from 1 to " + std::to_string(kMaxThreads)
                + ", got '" + *given.checkThreads + "'";
        command.threads = unsigned(*threads);
    }
    command.files = given.files;
    return std::nullopt;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments, unsigned defaultThreads)
{
    CommandLine result;
    result.generate.threads = std::clamp(defaultThreads, 1U, kMaxThreads);
    auto fail = [&](std::string_view command, const std::string& message) {
        result.kind = CommandLine::Kind::UsageError;
        result.text = usageError(command, message);
        return result;
    };
    auto message = [&](std::string text) {
        result.kind = CommandLine::Kind::Message;
        result.text = std::move(text);
        return result;
    };

    // The program's own options come before the command; the first word
    // that is no option names it.
    const auto first = std::find_if(arguments.begin(), arguments.end(),
        [](const std::string& word) { return !word.starts_with('-') || word == "-"; });
    {
        Parser program(programCommand());
        if (const auto refusal = program.parse(std::vector(arguments.begin(), first)))
            return fail("", *refusal);
        if (program.given().help)
            return message(helpText(programCommand()));
        if (program.given().version)
            return message(std::string(kProgram) + " " + programVersion() + "\n");
    }
    if (first == arguments.end()) {
        std::vector<std::string> names;
        for (const Command& command : commandTable())
            names.emplace_back(command.name);
        return fail("", "no command given: " + engine::listed(names));
    }
    const Command* command = findCommand(*first);
    if (command == nullptr)
        return fail("", unknownCommand(*first));

    Parser parser(*command);
    const std::string_view name = command->name;
    if (const auto refusal = parser.parse(std::vector(first + 1, arguments.end())))
        return fail(name, *refusal);
    const Given& given = parser.given();
    if (given.help)
        return message(helpText(*command));

    if (name == "check") {
        if (const auto refusal = finishCheck(given, result.check))
            return fail(name, *refusal);
        result.kind = CommandLine::Kind::Check;
        return result;
    }
    if (name == "brands")
        return message(pellorin::networks_listing(given.brandsFormat.value_or("text")));
    if (const auto refusal = finishGenerate(given, result.generate))
        return fail(name, *refusal);
    result.kind = CommandLine::Kind::Generate;
    return result;
}

} // namespace pellorin::cli
