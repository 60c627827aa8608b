#pragma once

#include "Requests.h"

#include <pellorin/request.h>

#include <string>
#include <string_view>
#include <vector>

namespace pellorin::cli {

// A generate request and where and how fast to write it.
struct GenerateCommand {
    engine::GenerateRequest request;
    // The same request as the public API takes it, which makes the output.
    pellorin::request asked;
    std::string output; // empty: standard output
    unsigned threads = 1;
};

// A check request and the files it reads.
struct CheckCommand {
    engine::CheckRequest request;
    std::vector<std::string> files; // empty: standard input
    // The summary goes to standard output in place of the verdicts.
    bool countOnly = false;
    unsigned threads = 1;
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

// A usage error as the program prints it: "pellorin-cli: error: ..." and a
// line naming the help of `command` (a command's name, or "" for the program).
std::string usageError(std::string_view command, std::string_view message);

} // namespace pellorin::cli
