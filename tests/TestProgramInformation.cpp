// The window program asked for its version or usage: it answers on standard
// output and ends, without a window. No display is reachable here, so a
// program that tried to open its window would fail instead.
#include "ParamName.h"
#include "RunProgram.h"

#include <gtest/gtest.h>

namespace {

struct InformationCase {
    const char* name;
    std::vector<std::string> arguments;
    // The whole output when exact, else a line it must hold.
    std::string output;
    bool exact;
};

class ProgramInformation : public testing::TestWithParam<InformationCase> { };

TEST_P(ProgramInformation, AnswersWithoutAWindow)
{
    const auto& [name, arguments, output, exact] = GetParam();
    const auto run = pellorin::test::runProgram(
        PELLORIN_WINDOW, arguments, {}, { "QT_QPA_PLATFORM=xcb", "DISPLAY=", "WAYLAND_DISPLAY=" });
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    if (exact)
        EXPECT_EQ(run.out, output);
    else
        EXPECT_NE(run.out.find(output + "\n"), std::string::npos) << run.out;
}

INSTANTIATE_TEST_SUITE_P(Arguments, ProgramInformation,
    testing::Values(
        InformationCase { "Version", { "--version" }, "pellorin " PELLORIN_VERSION "\n", true },
        InformationCase { "VersionAmongOthers", { "-x", "--version", "--help" },
            "pellorin " PELLORIN_VERSION "\n", true },
        InformationCase {
            "HelpUsage", { "--help" }, "Usage: pellorin [--help | --version]", false },
        InformationCase { "HelpBeforeVersion", { "--help", "--version" },
            "Usage: pellorin [--help | --version]", false },
        InformationCase { "HelpNamesTheWindowSystem", { "--help" },
            "  QT_QPA_PLATFORM  the window system: xcb (X11, or XWayland in a Wayland", false },
        InformationCase { "HelpNamesTheSettings", { "--help" },
            "  XDG_CONFIG_HOME  holds Quillmere/Pellorin.ini, the brand and quantity", false },
        InformationCase { "HelpNamesTheCommandLine", { "--help" },
            "The same numbers for scripts come from pellorin-cli (see pellorin-cli --help).",
            false }),
    [](const auto& info) { return pellorin::test::spelledName(info.param.name); });

} // namespace
