#pragma once

#include "Network.h"
#include "NetworkPattern.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellorin::cli {

enum class Format { Text, Csv, Json, Ndjson, Table };

struct GenerateRequest {
    // None for a prefix of one's own.
    const Network* network = &networkTable()[0];
    // A window brand's numbers over its network's published ranges instead
    // of the window's (--ranges network).
    bool publishedRanges = false;
    std::string prefix;
    int length = 0; // the network's common length unless --length says otherwise
    InvalidRule invalid = InvalidRule::None;
    bool group = false;
    char separator = ' ';
    std::uint64_t count = 10;
    std::optional<std::uint64_t> seed;
    bool unique = false;
    bool withExpiry = false;
    bool withCvv = false;
    Format format = Format::Text;
    std::string output; // empty: standard output
    unsigned threads = 1;
};

struct CheckRequest {
    std::vector<std::string> files; // empty: standard input
    Format format = Format::Text; // Text, Json or Ndjson
};

// What the command line asks for. For Message the text goes to standard
// output with status 0 (help, version, brands); for UsageError it goes to standard
// error with status 2.
struct CommandLine {
    enum class Kind { Generate, Check, Message, UsageError };
    Kind kind = Kind::UsageError;
    GenerateRequest generate;
    CheckRequest check;
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
