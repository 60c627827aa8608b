// pellorin-cli: the card number generator for scripts and pipelines. It
// shares the window's core and nothing of its user interface.

#include "CommandLine.h"
#include "ConsoleWindow.h"
#include "HelpText.h"
#include "Output.h"
#include "PlatformTexts.h"
#include "ProgramArguments.h"

#include <cstdio>
#include <string>
#include <thread>

int main(int argc, char** argv)
{
    using namespace pellorin;
    using namespace pellorin::cli;
    Output::installSignalHandling();
    const std::vector<std::string> arguments = programArguments(argc, argv);
    if (arguments.empty() && inConsoleWindowOfItsOwn()) {
        // Started with a double-click: a window that closed at once would
        // show nothing of why.
        std::fputs(paragraphs(platformTexts().startedAlone).c_str(), stdout);
        std::fflush(stdout);
        waitForEnter();
        return 0;
    }
    return runCommandLine(parseCommandLine(arguments, std::thread::hardware_concurrency()));
}
