#include "ManualPage.h"

#include "CommandLine.h"
#include "CommandTable.h"
#include "HelpText.h"

namespace pellorin::cli {

namespace {

constexpr std::string_view kEnvironment
    = "The time, in seconds since 1970, whose month expiry dates count from instead of the "
      "current one, for reproducible --with-expiry output. Read only with --with-expiry; set to "
      "nothing it counts as unset.";

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
std::string roffOption(const Option& option)
{
    std::string text;
    if (!option.shortName.empty())
        text += "\\fB" + roff(option.shortName) + "\\fR, ";
    text += "\\fB" + roff(option.longName) + "\\fR";
    if (!option.value.empty())
        text += " \\fI" + roff(option.value) + "\\fR";
    return text;
}

// "FILE..." with the name in italics.
std::string roffOperand(std::string_view operand)
{
    return "\\fI" + roff(operand) + "\\fR...";
}

bool everyCommand(const Option& option)
{
    return option.longName == "--help";
}

} // namespace

std::string manualPage(std::string_view date)
{
    const Command& program = programCommand();
    std::string page = R"(.TH PELLORIN\-CLI 1 ")" + std::string(date) + R"(" "pellorin\-cli )"
        + programVersion() + "\" \"User Commands\"\n";
    page += ".SH NAME\npellorin\\-cli \\- test payment\\-card numbers for scripts and CI\n";
    page += ".SH SYNOPSIS\n";
    for (const Command& command : commandTable()) {
        page += ".B pellorin\\-cli " + roff(command.name) + "\n[\\fIOPTIONS\\fR]"
            + (command.operand.empty() ? "" : " [" + roffOperand(command.operand) + "]")
            + "\n.br\n";
    }
    page += ".B pellorin\\-cli\n\\fB\\-\\-help\\fR | \\fB\\-\\-version\\fR\n";
    page += ".SH DESCRIPTION\n" + roff(program.summary) + "\n";
    page += ".SH COMMANDS\n";
    for (const Command& command : commandTable()) {
        page += ".TP\n\\fB" + roff(command.name) + "\\fR"
            + (command.operand.empty() ? "" : " [" + roffOperand(command.operand) + "]") + "\n"
            + roff(command.summary) + ".\n";
        for (const std::string_view rule : command.rules)
            page += ".IP\n" + roff(rule) + "\n";
    }
    page += ".SH OPTIONS\n";
    for (const Command& command : commandTable()) {
        page += ".SS " + roff(command.name) + "\n";
        if (!command.operand.empty()) {
            page += ".TP\n" + roffOperand(command.operand) + "\n" + roff(command.operandHelp)
                + ".\n";
        }
        for (const Option& option : command.options) {
            if (!everyCommand(option))
                page += ".TP\n" + roffOption(option) + "\n" + roff(option.help) + ".\n";
        }
    }
    page += ".SS The program\n";
    for (const Option& option : program.options)
        page += ".TP\n" + roffOption(option) + "\n" + roff(option.help) + ".\n";
    page += ".PP\nA repeated option takes its last value.\n";
    page += ".SH EXIT STATUS\n";
    for (const Command& command : commandTable()) {
        page += ".SS " + roff(command.name) + "\n";
        for (const ExitStatus& status : command.statuses)
            page += ".TP\n.B " + std::to_string(status.code) + "\n" + roff(status.meaning) + "\n";
    }
    page += ".SH ENVIRONMENT\n.TP\n.B SOURCE_DATE_EPOCH\n" + roff(kEnvironment) + "\n";
    page += ".SH EXAMPLES\n";
    for (const Example& e : program.examples)
        page += ".PP\n" + roff(e.meaning) + "\n.PP\n.RS\n.EX\n" + roff(e.command) + "\n.EE\n.RE\n";
    page += ".SH SEE ALSO\n.BR pellorin (1)\n";
    return page;
}

} // namespace pellorin::cli
