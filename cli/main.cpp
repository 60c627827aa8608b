// pellorin-cli: the card number generator for scripts and pipelines. It
// shares the window's core and nothing of its user interface.

#include "CheckRun.h"
#include "CommandLine.h"
#include "ConsoleWindow.h"
#include "GenerateRun.h"
#include "HelpText.h"
#include "Output.h"
#include "PlatformTexts.h"
#include "ProgramArguments.h"

#include <pellorin/refusal.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <string_view>
#include <thread>

namespace {

using namespace pellorin;
using namespace pellorin::cli;

// The month expiry dates count from: the current one in UTC, or the one of
// SOURCE_DATE_EPOCH, the reproducible-builds convention for pinning "now"
// (set to nothing, it is as if unset).
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

int generate(GenerateCommand command)
{
    pellorin::request& asked = command.asked;
    // Only expiry dates depend on the date, so only they can be let down
    // by a malformed one; an expiry rule writes them unasked.
    if (command.request.withExpiry) {
        const auto month = currentMonth();
        if (!month) {
            std::fprintf(stderr,
                "pellorin-cli: error: SOURCE_DATE_EPOCH: expected seconds since 1970, got '%s'\n",
                std::getenv("SOURCE_DATE_EPOCH"));
            return 2;
        }
        asked.month = *month;
    }
    Output output(command.output);
    // A reader that went away is no error for a generator: it simply had
    // enough.
    if (runGenerate(command, output))
        output.commit();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
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
    const CommandLine command = parseCommandLine(arguments, std::thread::hardware_concurrency());
    try {
        switch (command.kind) {
        case CommandLine::Kind::Message: {
            Output output("");
            output.write(command.text);
            return 0;
        }
        case CommandLine::Kind::UsageError:
            std::fputs(command.text.c_str(), stderr);
            return 2;
        case CommandLine::Kind::Check: {
            CheckCommand check = command.check;
            const auto month = currentMonth();
            if (!month) {
                std::fprintf(stderr,
                    "pellorin-cli: error: SOURCE_DATE_EPOCH: expected seconds since 1970, got "
                    "'%s'\n",
                    std::getenv("SOURCE_DATE_EPOCH"));
                return 2;
            }
            check.request.month
                = std::int64_t(int(month->year())) * 12 + unsigned(month->month()) - 1;
            Output output("");
            return runCheck(check, output);
        }
        case CommandLine::Kind::Generate:
            return generate(command.generate);
        }
    } catch (const OutputError& error) {
        std::fprintf(stderr, "pellorin-cli: %s\n", error.what());
    } catch (const pellorin::out_of_memory& error) {
        std::fprintf(stderr, "pellorin-cli: %s\n", error.what());
    } catch (const std::bad_alloc&) {
        std::fputs("pellorin-cli: not enough memory\n", stderr);
    }
    // For check, 1 is an answer (some number is invalid); trouble is 2, as
    // grep has it, so a pipeline cannot take a failed check for a verdict.
    return command.kind == CommandLine::Kind::Check ? 2 : 1;
}
