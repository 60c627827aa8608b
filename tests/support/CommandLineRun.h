#pragma once

// pellorin-cli as the tests run it: the binary the build made (PELLORIN_CLI,
// defined for each test target), with the month expiry dates count from
// pinned.

#include "RunProgram.h"

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace pellorin::test {

// The program under test: PELLORIN_CLI_UNDER_TEST when set, so that the same
// tests run another build of it (the Windows one under Wine, through a
// script that takes pellorin-cli's arguments), else the build's own.
inline std::string cliProgram()
{
    const char* other = std::getenv("PELLORIN_CLI_UNDER_TEST");
    return other != nullptr && *other != '\0' ? other : PELLORIN_CLI;
}

// 2026-01-01 00:00 UTC: expiry dates run from 02/26 to 01/31.
inline const std::vector<std::string> kPinnedDate { "SOURCE_DATE_EPOCH=1767225600" };

inline ProgramRun cli(const std::vector<std::string>& arguments, const std::string& input = {})
{
    return runProgram(cliProgram(), arguments, input, kPinnedDate);
}

// A shell command line with "$CLI" standing for pellorin-cli, for what only a
// shell sets up: pipes between programs, ignored signals, limits. Standard
// error joins standard output when the command says 2>&1.
inline ProgramRun shell(const std::string& command, const std::string& input = {})
{
    return runProgram(
        "/bin/sh", { "-c", "CLI=\"$0\"; " + command, cliProgram() }, input, kPinnedDate);
}

inline std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

} // namespace pellorin::test
