// pellorin-cli's help, manual page and completions, walked along the command
// table: every command's every option is in its --help, the page and each
// shell's completion, and the page says what --help says.

#include "CommandLineRun.h"
#include "CommandTable.h"
#include "HelpText.h"

#include <gtest/gtest.h>

namespace {

using namespace pellorin;
using test::cli;
namespace table = pellorin::cli;
using test::lines;
using test::ProgramRun;

std::string manualPage(const char* date = "2026-01-31")
{
    const ProgramRun run = test::runProgram(PELLORIN_CLI_DOCS, { "man", date });
    EXPECT_EQ(run.status, 0) << run.err;
    return run.out;
}

// The page's text without roff's escapes and font changes.
std::string plain(std::string roff)
{
    for (const auto& [from, to] : { std::pair<std::string, std::string> { "\\-", "-" },
             { "\\e", "\\" }, { "\\fB", "" }, { "\\fR", "" }, { "\\fI", "" }, { "\\&", "" } }) {
        for (std::size_t at = 0; (at = roff.find(from, at)) != std::string::npos;)
            roff.replace(at, from.size(), to);
    }
    return roff;
}

TEST(ManualPage, HasEverySectionInOrderDatedByTheReleaseNotTheBuild)
{
    const std::string page = manualPage();
    EXPECT_TRUE(page.starts_with(".TH PELLORIN\\-CLI 1 \"2026-01-31\"")) << page.substr(0, 80);
    std::size_t at = 0;
    for (const char* section : { "NAME", "SYNOPSIS", "DESCRIPTION", "COMMANDS", "OPTIONS",
             "EXIT STATUS", "ENVIRONMENT", "EXAMPLES", "SEE ALSO" }) {
        const std::size_t found = page.find(std::string(".SH ") + section + "\n", at);
        EXPECT_NE(found, std::string::npos) << section << " missing or out of order";
        at = found == std::string::npos ? at : found;
    }
    EXPECT_EQ(manualPage(), page) << "the same page from the same release";
    EXPECT_TRUE(page.find(".B SOURCE_DATE_EPOCH\n") != std::string::npos);
    EXPECT_TRUE(plain(page).find("says 'no numbers read' and exits 1") != std::string::npos);
}

std::string completion(const char* shell)
{
    const ProgramRun run = test::runProgram(PELLORIN_CLI_DOCS, { "completion", shell });
    EXPECT_EQ(run.status, 0) << run.err;
    return run.out;
}

bool holds(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class EveryCommand : public testing::TestWithParam<std::string_view> { };

TEST_P(EveryCommand, HasEachOptionInHelpManualPageAndEveryCompletion)
{
    const table::Command& command = *table::findCommand(GetParam());
    const std::string help = cli({ std::string(command.name), "--help" }).out;
    const std::string page = plain(manualPage());
    const std::string bash = completion("bash"), zsh = completion("zsh"), fish = completion("fish");
    const std::size_t options = page.find(".SS " + std::string(command.name) + "\n");
    ASSERT_NE(options, std::string::npos) << "no options of " << command.name << " in the page";
    for (const table::Option& option : command.options) {
        const std::string synopsis = table::optionSynopsis(option);
        std::string line = "  " + synopsis;
        line.resize(std::max<std::size_t>(line.size() + 2, 30), ' ');
        EXPECT_TRUE(holds(help, "\n" + line + option.help + "\n")) << synopsis;
        if (option.longName != "--help") {
            EXPECT_TRUE(holds(page.substr(options),
                ".TP\n" + table::optionSynopsis(option, ", ") + "\n" + option.help + ".\n"))
                << synopsis;
        }
        const std::string name(option.longName.substr(2));
        EXPECT_TRUE(holds(bash, " --" + name + " ") || holds(bash, " --" + name + "'")) << name;
        EXPECT_TRUE(holds(zsh, "--" + name)) << name;
        EXPECT_TRUE(holds(fish, " -l " + name + " ")) << name;
        for (const std::string& word : option.words) {
            for (const std::string* shell : { &bash, &zsh, &fish })
                EXPECT_TRUE(holds(*shell, word)) << name << " " << word;
        }
    }
    if (!command.operand.empty()) {
        const std::string operand = "[" + std::string(command.operand) + "...]";
        EXPECT_TRUE(holds(page, std::string(command.name) + " " + operand));
        EXPECT_TRUE(holds(
            help, "Usage: pellorin-cli " + std::string(command.name) + " [OPTIONS] " + operand));
    }
    for (const table::ExitStatus& status : command.statuses) {
        const std::string code = std::to_string(status.code), meaning(status.meaning);
        EXPECT_TRUE(holds(help, std::string("\n  ").append(code).append("  ").append(meaning)))
            << meaning;
        EXPECT_TRUE(holds(page, std::string(".B ").append(code).append("\n").append(meaning)))
            << meaning;
    }
    // Only the command's own examples: another command's would mislead.
    const std::size_t examples = help.find("Examples:\n");
    ASSERT_NE(examples, std::string::npos);
    const std::string name = " " + std::string(command.name) + " ";
    for (const std::string& example : lines(help.substr(examples + 10)))
        EXPECT_TRUE(holds(example + " ", name)) << example;
}

INSTANTIATE_TEST_SUITE_P(Table, EveryCommand, testing::ValuesIn([] {
    std::vector<std::string_view> names;
    for (const table::Command& command : table::commandTable())
        names.push_back(command.name);
    return names;
}()),
    [](const auto& info) { return std::string(info.param); });

struct HelpCase {
    const char* name;
    std::vector<std::string> arguments;
    const char* says;
};

void PrintTo(const HelpCase& c, std::ostream* os)
{
    *os << c.name;
}

class HelpTexts : public testing::TestWithParam<HelpCase> { };

TEST_P(HelpTexts, StatesTheRuleInLinesOfAtMost80Columns)
{
    const ProgramRun run = cli(GetParam().arguments);
    EXPECT_EQ(run.status, 0);
    std::string flowing = run.out;
    std::replace(flowing.begin(), flowing.end(), '\n', ' ');
    EXPECT_NE(flowing.find(GetParam().says), std::string::npos) << run.out;
    for (const std::string& line : lines(run.out))
        EXPECT_LE(line.size(), 80u) << line;
}

INSTANTIATE_TEST_SUITE_P(Rules, HelpTexts,
    testing::Values(HelpCase { "program", { "--help" },
                        "Run 'pellorin-cli generate --help', 'pellorin-cli check --help' or "
                        "'pellorin-cli brands --help'" },
        HelpCase { "brands", { "generate", "--help" }, "Network id from 'brands'" },
        HelpCase {
            "random_without_seed", { "generate", "--help" }, "Without --seed every run is random" },
        HelpCase { "no_zero_after_the_prefix", { "generate", "--help" },
            "digits 1 to 9 after the prefix (never 0)" },
        HelpCase { "prefix_in_a_brand_range", { "generate", "--help" },
            "a prefix inside a network's range makes that network's numbers" },
        HelpCase { "output_trade_off", { "generate", "--help" },
            "are written in place as the shell's '>' would" },
        HelpCase {
            "hipercard_named_twice", { "generate", "--help" }, "Hipercard claims none alone" },
        HelpCase { "check_file_argument", { "check", "--help" },
            "Usage: pellorin-cli check [OPTIONS] [FILE...]" },
        HelpCase { "check_length", { "check", "--help" },
            "'invalid length' (a length its network does not issue, or not 12 to 19 digits)" },
        HelpCase { "check_status", { "check", "--help" },
            "1  Some number is invalid, or no number was read at all." }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
