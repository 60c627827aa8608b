#include "CommandTable.h"

#include "Commands.h"
#include "Phrases.h"
#include "PlatformTexts.h"

#include <algorithm>

namespace pellorin::cli {

// Each command is a file of its own: its options and texts, how it reads
// what was given and how it runs. The parser, help, manual page and
// completions take them from the table below.
Command generateCommand();
Command checkCommand();
Command brandsCommand();

namespace {

constexpr std::string_view kSummary
    = "Test payment-card numbers for scripts and CI: every card network of 'pellorin-cli "
      "brands' or a prefix of your own, each with a valid Luhn check digit, or invalid on "
      "purpose.";

Command makeProgram()
{
    const PlatformTexts& texts = platformTexts();
    return {
        .summary = kSummary,
        .options = { helpOption("Print the help; after a command, its help"),
            { .shortName = "-V", .longName = "--version", .help = "Print the version" } },
        .examples = { texts.generateAmex, texts.generateCsv, texts.generateFile, texts.roundTrip,
            texts.checkNumber, texts.brandsJson },
    };
}

} // namespace

Option helpOption(std::string help)
{
    return { .shortName = "-h", .longName = "--help", .help = std::move(help) };
}

Option formatOption(const std::vector<std::string>& formats)
{
    return { .shortName = "-f",
        .longName = "--format",
        .value = "FORMAT",
        .help = engine::listed(formats) + " (default " + formats.front() + ")",
        .kind = ValueKind::Word,
        .words = formats,
        .onlyWords = true,
        .noun = "format" };
}

std::optional<std::string> Given::text(std::string_view longName) const
{
    const auto found = values.find(longName);
    return found == values.end() ? std::nullopt : std::optional(found->second);
}

std::span<const Command> commandTable()
{
    // In the order help lists them.
    static const std::vector<Command> commands { generateCommand(), checkCommand(),
        brandsCommand() };
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
