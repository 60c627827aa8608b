// pellorin-cli's help and manual page: the page has a user's sections, covers
// both commands and says what --help says, option for option.

#include "CommandLineRun.h"

#include <gtest/gtest.h>

namespace {

using namespace pellorin;
using test::cli;
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
}

// Each option line of a command's --help, as "-b,--brand BRAND" and its text.
std::vector<std::pair<std::string, std::string>> helpOptions(const std::string& command)
{
    std::vector<std::pair<std::string, std::string>> options;
    for (const std::string& line : lines(cli({ command, "--help" }).out)) {
        if (!line.starts_with("  -") || line.size() < 31)
            continue;
        std::string names = line.substr(2, 28);
        names.erase(names.find_last_not_of(' ') + 1);
        options.emplace_back(names, line.substr(30));
    }
    return options;
}

TEST(ManualPage, SaysWhatEachCommandsHelpSaysOfEveryOptionAndExitStatus)
{
    const std::string page = plain(manualPage());
    const auto options = helpOptions("generate");
    ASSERT_GE(options.size(), 11u);
    for (const auto& [names, text] : options) {
        if (names == "-h,--help")
            continue;
        std::string shown = names;
        if (const std::size_t comma = shown.find(','); comma != std::string::npos)
            shown.replace(comma, 1, ", ");
        shown.append("\n").append(text).append(".\n");
        EXPECT_NE(page.find(shown), std::string::npos) << names;
    }
    for (const char* command : { "generate", "check" }) {
        const std::string help = cli({ command, "--help" }).out;
        const std::size_t status = help.find("Exit status:\n");
        ASSERT_NE(status, std::string::npos) << command;
        for (const std::string& line : lines(help.substr(status))) {
            if (line.size() > 5 && line.starts_with("  ") && line[3] == ' ') {
                EXPECT_NE(page.find(".B " + line.substr(2, 1) + "\n" + line.substr(5) + "\n"),
                    std::string::npos)
                    << command << ": " << line;
            }
        }
    }
    EXPECT_NE(page.find("check [FILE...]"), std::string::npos);
    EXPECT_NE(page.find("SOURCE_DATE_EPOCH"), std::string::npos);
}

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
    testing::Values(HelpCase { "program", { "--help" }, "Run 'pellorin-cli generate --help'" },
        HelpCase { "brands", { "generate", "--help" }, "Network id from 'brands'" },
        HelpCase {
            "random_without_seed", { "generate", "--help" }, "Without --seed every run is random" },
        HelpCase { "no_zero_after_the_prefix", { "generate", "--help" },
            "digits 1 to 9 after the prefix (never 0)" },
        HelpCase { "prefix_in_a_brand_range", { "generate", "--help" },
            "a prefix inside a network's range makes that network's numbers" },
        HelpCase { "output_trade_off", { "generate", "--help" },
            "are written in place as the shell's '>' would" },
        HelpCase { "check_file_argument", { "check", "--help" },
            "Usage: pellorin-cli check [OPTIONS] [FILE...]" },
        HelpCase { "check_length", { "check", "--help" },
            "'invalid length' (a length its network does not issue, or not 12 to 19 digits)" },
        HelpCase { "check_status", { "check", "--help" }, "1  Some number is invalid." }),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
