#include "HelpText.h"

#include "Phrases.h"
#include "PlatformTexts.h"

namespace pellorin::cli {

namespace {

constexpr std::size_t kTextWidth = 79;
// Where an option's help starts, as CLI11 laid it out before.
constexpr std::size_t kHelpColumn = 30;

// "  NAMES   help", the help on a line of its own when the names are long.
std::string entry(std::string_view names, std::string_view help)
{
    std::string line = "  " + std::string(names);
    if (line.size() + 2 > kHelpColumn)
        line += "\n" + std::string(kHelpColumn, ' ');
    else
        line.append(kHelpColumn - line.size(), ' ');
    return line + std::string(help) + "\n";
}

std::string programHelp(const Command& program)
{
    std::string text = wrapped(program.summary) + "\nUsage: " + std::string(kProgram)
        + " [OPTIONS] COMMAND\n\nOptions:\n";
    for (const Option& option : program.options)
        text += entry(optionSynopsis(option), option.help);
    text += "\nCommands:\n";
    std::vector<std::string> helps;
    for (const Command& command : commandTable()) {
        text += entry(command.name, command.summary);
        helps.push_back(std::string(1, '\'')
                            .append(kProgram)
                            .append(" ")
                            .append(command.name)
                            .append(" --help'"));
    }
    // GCC 12 warns of a bogus overlap for "\n" + a temporary (its bug 105329).
    text += '\n';
    text += wrapped("Run " + engine::listed(helps) + " for their options.");
    return text;
}

} // namespace

std::string wrapped(std::string_view text, std::size_t indent)
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

std::string paragraphs(std::string_view text)
{
    std::string out;
    while (!text.empty()) {
        const std::size_t end = text.find("\n\n");
        const std::string_view paragraph = text.substr(0, end);
        out += paragraph.starts_with(' ') ? std::string(paragraph) + "\n" : wrapped(paragraph);
        if (end == std::string_view::npos)
            break;
        out += '\n';
        text.remove_prefix(end + 2);
    }
    return out;
}

std::string optionSynopsis(const Option& option, std::string_view between)
{
    std::string text;
    if (!option.shortName.empty())
        text.append(option.shortName).append(between);
    text += option.longName;
    if (!option.value.empty())
        text.append(" ").append(option.value);
    return text;
}

std::string helpText(const Command& command)
{
    std::string text;
    if (command.name.empty()) {
        text = programHelp(command);
    } else {
        text = wrapped(std::string(command.summary) + ".") + "\nUsage: " + std::string(kProgram)
            + " " + std::string(command.name) + " [OPTIONS]"
            + (command.operand.empty() ? "" : " [" + std::string(command.operand) + "...]") + "\n";
        if (!command.operand.empty())
            text += "\nArguments:\n"
                + entry(std::string(command.operand) + "...", command.operandHelp);
        text += "\nOptions:\n";
        for (const Option& option : command.options)
            text += entry(optionSynopsis(option), option.help);
        for (const std::string_view rule : command.rules) {
            text += '\n';
            text += wrapped(rule);
        }
    }
    if (!command.statuses.empty()) {
        text += "\nExit status:\n";
        for (const ExitStatus& status : command.statuses)
            text += "  " + std::to_string(status.code) + "  " + std::string(status.meaning) + "\n";
    }
    if (!command.examples.empty()) {
        text += '\n';
        text += wrapped(platformTexts().examplesHeading);
        for (const Example& example : command.examples)
            text += "  " + std::string(example.command) + "\n";
    }
    return text;
}

} // namespace pellorin::cli
