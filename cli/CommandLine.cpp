#include "CommandLine.h"

#include "CommandTable.h"
#include "HelpText.h"
#include "Phrases.h"
#include "Suggestions.h"

#include "Commands.h"
#include "Output.h"
#include <CLI/CLI.hpp>
#include <pellorin/refusal.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace pellorin::cli {

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
            m_given.values.insert_or_assign(option->longName, value);
        }
        if (m_given.has("--help") || m_given.has("--version"))
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
        if (program.given().has("--help"))
            return message(helpText(programCommand()));
        if (program.given().has("--version"))
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
    if (given.has("--help"))
        return message(helpText(*command));
    if (const auto refusal = command->finish(given, result))
        return fail(name, *refusal);
    result.command = command;
    result.given = given;
    return result;
}

std::optional<std::string> readThreads(const Given& given, unsigned& threads)
{
    const std::optional<std::string> typed = given.text("--threads");
    if (!typed)
        return std::nullopt;
    const auto read = engine::readWhole(*typed, kMaxThreads);
    if (!read || *read == 0)
        return "--threads: expected a whole number from 1 to " + std::to_string(kMaxThreads)
            + ", got '" + *typed + "'";
    threads = unsigned(*read);
    return std::nullopt;
}

std::optional<std::chrono::year_month> currentMonth()
{
    using namespace std::chrono;
    std::int64_t now = duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
    if (const char* pinned = std::getenv("SOURCE_DATE_EPOCH");
        pinned != nullptr && *pinned != '\0') {
        const std::string_view text(pinned);
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), now);
        if (text.empty() || error != std::errc() || end != text.data() + text.size() || now < 0
            || now > std::int64_t { 1 } << 40)
            return std::nullopt;
    }
    const year_month_day utc { floor<days>(sys_seconds(seconds(now))) };
    return utc.year() / utc.month();
}

int refuseSourceDate()
{
    std::fprintf(stderr,
        "pellorin-cli: error: SOURCE_DATE_EPOCH: expected seconds since 1970, got '%s'\n",
        std::getenv("SOURCE_DATE_EPOCH"));
    return 2;
}

int runCommandLine(const CommandLine& line)
{
    try {
        switch (line.kind) {
        case CommandLine::Kind::Message: {
            Output output("");
            output.write(line.text);
            return 0;
        }
        case CommandLine::Kind::UsageError:
            std::fputs(line.text.c_str(), stderr);
            return 2;
        default:
            return line.command->run(line);
        }
    } catch (const OutputError& error) {
        std::fprintf(stderr, "pellorin-cli: %s\n", error.what());
    } catch (const pellorin::out_of_memory& error) {
        std::fprintf(stderr, "pellorin-cli: %s\n", error.what());
    } catch (const std::bad_alloc&) {
        std::fputs("pellorin-cli: not enough memory\n", stderr);
    }
    return line.command != nullptr ? line.command->troubleStatus : 1;
}

} // namespace pellorin::cli
