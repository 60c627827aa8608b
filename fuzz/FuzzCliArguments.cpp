// Feeds arbitrary argument lists (the input split at NUL bytes) to the
// command line reader: it must never throw, and whatever it accepts must be
// within the limits the generator relies on.

#include "CommandLine.h"
#include "FuzzCheck.h"
#include "NumberKind.h"
#include "NumberPattern.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            arguments.emplace_back();
        else
            arguments.back().push_back(char(data[i]));
    }
    if (size == 0)
        arguments.clear();

    using pellorin::cli::CommandLine;
    const CommandLine command = pellorin::cli::parseCommandLine(arguments, 4);
    switch (command.kind) {
    case CommandLine::Kind::UsageError:
        // One line saying what is wrong, one saying where help is.
        PELLORIN_FUZZ_CHECK(command.text.starts_with("pellorin-cli: error: "));
        PELLORIN_FUZZ_CHECK(command.text.find("\nTry 'pellorin-cli") != std::string::npos);
        PELLORIN_FUZZ_CHECK(std::count(command.text.begin(), command.text.end(), '\n') == 2);
        break;
    case CommandLine::Kind::Message:
        PELLORIN_FUZZ_CHECK(!command.text.empty());
        break;
    case CommandLine::Kind::Check:
    case CommandLine::Kind::Run:
        PELLORIN_FUZZ_CHECK(command.command != nullptr);
        break;
    case CommandLine::Kind::Generate: {
        const auto& g = command.generate.request;
        PELLORIN_FUZZ_CHECK(command.generate.threads >= 1 && command.generate.threads <= 256);
        PELLORIN_FUZZ_CHECK(g.count <= std::uint64_t(std::numeric_limits<std::int64_t>::max()));
        if (g.network == nullptr) {
            PELLORIN_FUZZ_CHECK(g.length >= 12 && g.length <= pellorin::kMaxCardLength);
            PELLORIN_FUZZ_CHECK(!g.prefix.empty() && g.prefix.size() < std::size_t(g.length));
            PELLORIN_FUZZ_CHECK(std::all_of(
                g.prefix.begin(), g.prefix.end(), [](char c) { return c >= '0' && c <= '9'; }));
        } else if (g.invalid == pellorin::InvalidRule::Length) {
            const auto lengths = pellorin::wrongLengths(*g.network);
            PELLORIN_FUZZ_CHECK(
                std::find(lengths.begin(), lengths.end(), g.length) != lengths.end());
        } else {
            PELLORIN_FUZZ_CHECK(pellorin::holdsLength(pellorin::lengthsOf(*g.network), g.length));
        }
        if (g.unique)
            PELLORIN_FUZZ_CHECK(g.count <= pellorin::engine::numberKind(g).pattern.numberCount());
        break;
    }
    }
    return 0;
}
