// check: reads card numbers back and judges each; CheckRun.cpp reads.

#include "CheckRun.h"
#include "CommandLine.h"
#include "Commands.h"
#include "Output.h"
#include "PlatformTexts.h"

namespace pellorin::cli {

namespace {

using engine::Format;

constexpr std::string_view kCheckRule
    = "Reads what generate writes, in any format and with any extras, or one number per line, "
      "from each FILE or standard input ('-'), in UTF-8 or in UTF-16 that starts with its byte "
      "order mark; lines end in LF, CR LF or CR. Digit groups make one number only where they "
      "are a grouping card numbers print in (4111 1111 1111 1111, 3782-822463-10005); "
      "otherwise the first group is the number and what follows, apart by blanks, TABs, "
      "',', ';', '|', ':' or '/', are fields: an expiry MM/YY and a security code, or words "
      "such as a brand. A line that two readings fit is reported, not guessed. "
      "Prints each number with 'valid', 'invalid luhn', 'invalid length' (a length its "
      "network does not issue, or not 12 to 19 digits), 'invalid prefix' (no network issues "
      "it; --allow-unknown lets such a number pass on its length and check digit), 'invalid "
      "expiry' (no month 01 to 12), 'expired' (before the current month, or that of "
      "SOURCE_DATE_EPOCH) or 'invalid code' (not its network's code length) and every "
      "network that claims it, the most specific first ('JCB|RuPay'), or 'unknown'; --format "
      "json or ndjson for scripts. "
      "With several files each result "
      "starts with FILE:LINE:. A line that holds no single card number is reported as "
      "unreadable with its line number (after 20 of them, the rest are only counted). A summary "
      "goes to standard error; input with no number at all says 'no numbers read' and exits 1. "
      "--threads shares each ordinary file among threads; standard input and pipes are read on "
      "one.";

// The formats check writes, of those generate writes: the ones a script
// reads back as verdicts.
std::vector<std::string> checkFormats()
{
    return { "text", "json", "ndjson" };
}

std::vector<Option> options()
{
    const std::vector<std::string> formats = checkFormats();
    return {
        helpOption(),
        formatOption(formats),
        { .shortName = "-q",
            .longName = "--quiet",
            .help = "Print nothing; the exit status tells (as grep -q)" },
        { .longName = "--count", .help = "Print only the summary, on standard output" },
        { .longName = "--invalid-only", .help = "Print only the verdicts of invalid numbers" },
        { .shortName = "-z",
            .longName = "--null",
            .help = "Lines in and out end in NUL (not with json)" },
        { .longName = "--allow-unknown",
            .help = "No network needed: length and check digit suffice" },
        { .shortName = "-t",
            .longName = "--threads",
            .value = "N",
            .help = "Threads per FILE, default 1; output is the same",
            .kind = ValueKind::Free },
    };
}

// What check is asked: its format, which verdicts it writes and how, and
// how many threads read.
std::optional<std::string> finish(const Given& given, CommandLine& line)
{
    CheckCommand& command = line.check;
    engine::CheckRequest& request = command.request;
    request.format
        = engine::formatNamed(given.text("--format").value_or("text")).value_or(Format::Text);
    const bool quiet = given.has("--quiet"), countOnly = given.has("--count");
    const char* mode = nullptr;
    for (const char* name : { "--quiet", "--count", "--invalid-only" }) {
        if (!given.has(name))
            continue;
        if (mode != nullptr)
            return std::string(mode) + " cannot be used with " + name;
        mode = name;
    }
    request.quiet = quiet;
    command.countOnly = countOnly;
    request.shown = given.has("--invalid-only") ? engine::CheckShown::Invalid
        : quiet || countOnly                    ? engine::CheckShown::None
                                                : engine::CheckShown::All;
    request.nullEnded = given.has("--null");
    if (request.nullEnded && request.format == Format::Json && !quiet && !countOnly)
        return "--null: --format json writes one array; ndjson records can end in NUL";
    request.allowUnknown = given.has("--allow-unknown");
    if (auto refusal = readThreads(given, command.threads))
        return refusal;
    command.files = given.files;
    line.kind = CommandLine::Kind::Check;
    return std::nullopt;
}

int run(const CommandLine& line)
{
    CheckCommand check = line.check;
    const auto month = currentMonth();
    if (!month)
        return refuseSourceDate();
    check.request.month = std::int64_t(int(month->year())) * 12 + unsigned(month->month()) - 1;
    Output output("");
    return runCheck(check, output);
}

} // namespace

Command checkCommand()
{
    const PlatformTexts& texts = platformTexts();
    return {
        .name = "check",
        .summary = "Check card numbers",
        .operand = "FILE",
        .operandHelp = "Files to read; none, or -, is standard input",
        .options = options(),
        .rules = { kCheckRule },
        .statuses = { { 0, "Every number is valid." },
            { 1, "Some number is invalid, or no number was read at all." },
            { 2, "Trouble: an unreadable line or file, a failed write, or a usage error." } },
        .examples = { texts.roundTrip, texts.checkNumber },
        .finish = finish,
        .run = run,
        // 1 is an answer (some number is invalid); trouble is 2, as grep
        // has it, so a pipeline cannot take a failed check for a verdict.
        .troubleStatus = 2,
    };
}

} // namespace pellorin::cli
