// pellorin-cli: the card number generator for scripts and pipelines. It
// shares the window's core and nothing of its user interface.

#include "CheckRun.h"
#include "CommandLine.h"
#include "ConsoleWindow.h"
#include "GenerateRun.h"
#include "HelpText.h"
#include "NumberKind.h"
#include "Output.h"
#include "PlatformTexts.h"
#include "ProgramArguments.h"
#include "RandomSource.h"
#include "UniqueKeys.h"

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
using engine::MonthIndex;

// The month expiry dates count from: the current one in UTC, or the one of
// SOURCE_DATE_EPOCH, the reproducible-builds convention for pinning "now"
// (set to nothing, it is as if unset).
std::optional<MonthIndex> currentMonth()
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
    return MonthIndex(int(utc.year())) * 12 + MonthIndex(unsigned(utc.month())) - 1;
}

int generate(const GenerateCommand& command)
{
    const engine::GenerateRequest& request = command.request;
    // Only expiry dates depend on the date, so only they can be let down
    // by a malformed one.
    const auto month = request.withExpiry ? currentMonth() : std::optional<MonthIndex>(0);
    if (!month) {
        std::fprintf(stderr,
            "pellorin-cli: error: SOURCE_DATE_EPOCH: expected seconds since 1970, got '%s'\n",
            std::getenv("SOURCE_DATE_EPOCH"));
        return 2;
    }
    const std::uint64_t seed = request.seed ? *request.seed : RandomSource::unpredictableSeed();
    Output output(command.output);
    // A reader that went away is no error for a generator: it simply had
    // enough.
    if (runGenerate(command, seed, *month, output))
        output.commit();
    return 0;
}

// Only --unique takes memory that grows with the request, so it is the one
// whose size is worth telling.
std::string memoryFailure(const CommandLine& command)
{
    const engine::GenerateRequest& request = command.generate.request;
    if (command.kind != CommandLine::Kind::Generate || !request.unique)
        return "not enough memory\n";
    const NumberPattern pattern = engine::numberKind(request).pattern;
    const std::uint64_t bytes = engine::UniqueKeys::bytesFor(pattern.keyCount(), request.count);
    return "not enough memory: --unique needs " + std::to_string((bytes + (1 << 20) - 1) >> 20)
        + " MiB for --count " + std::to_string(request.count) + "\n";
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
            check.request.month = currentMonth();
            if (!check.request.month) {
                std::fprintf(stderr,
                    "pellorin-cli: error: SOURCE_DATE_EPOCH: expected seconds since 1970, got "
                    "'%s'\n",
                    std::getenv("SOURCE_DATE_EPOCH"));
                return 2;
            }
            Output output("");
            return runCheck(check, output);
        }
        case CommandLine::Kind::Generate:
            return generate(command.generate);
        }
    } catch (const OutputError& error) {
        std::fprintf(stderr, "pellorin-cli: %s\n", error.what());
    } catch (const std::bad_alloc&) {
        std::fputs(("pellorin-cli: " + memoryFailure(command)).c_str(), stderr);
    }
    // For check, 1 is an answer (some number is invalid); trouble is 2, as
    // grep has it, so a pipeline cannot take a failed check for a verdict.
    return command.kind == CommandLine::Kind::Check ? 2 : 1;
}
