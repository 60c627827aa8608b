#pragma once

#include "Requests.h"

#include <string>
#include <string_view>
#include <vector>

namespace pellorin::cli {

// A generate request and where and how fast to write it.
struct GenerateCommand {
    engine::GenerateRequest request;
    std::string output; // empty: standard output
    unsigned threads = 1;
};

// A check request and the files it reads.
struct CheckCommand {
    engine::CheckRequest request;
    std::vector<std::string> files; // empty: standard input
};

// What the command line asks for. For Message the text goes to standard
// output with status 0 (help, version, brands); for UsageError it goes to standard
// error with status 2.
struct CommandLine {
    enum class Kind { Generate, Check, Message, UsageError };
    Kind kind = Kind::UsageError;
    GenerateCommand generate;
    CheckCommand check;
    std::string text;
};

// Reads the arguments after the program name. Never throws for any input
// but running out of memory. `defaultThreads` is what --threads defaults to.
// A repeated option takes its last value, as in GNU tools.
CommandLine parseCommandLine(const std::vector<std::string>& arguments, unsigned defaultThreads);

// The version the program reports, from the project's build.
const char* programVersion() noexcept;

// The manual page, in roff, dated `date` (as "2026-01-31"): made from the
// same option table and texts as --help, so the two cannot drift apart.
std::string manualPage(std::string_view date);

// bash completion for the program, from the same option table.
std::string bashCompletion();

// A usage error as the program prints it: "pellorin-cli: error: ..." and a
// line naming the help of `command` ("generate", "check" or "").
std::string usageError(std::string_view command, std::string_view message);

} // namespace pellorin::cli
