// Writes pellorin-cli's manual page or its bash completion to standard
// output, for the build: both come from the option table --help shows.
// Usage: pellorin-cli-docs man YYYY-MM-DD | pellorin-cli-docs completion

#include "CommandLine.h"

#include <cstdio>
#include <string>
#include <string_view>

int main(int argc, char** argv)
{
    const std::string_view what = argc > 1 ? argv[1] : "";
    std::string text;
    if (what == "man" && argc == 3)
        text = pellorin::cli::manualPage(argv[2]);
    else if (what == "completion" && argc == 2)
        text = pellorin::cli::bashCompletion();
    else {
        std::fputs(
            "Usage: pellorin-cli-docs man YYYY-MM-DD | pellorin-cli-docs completion\n", stderr);
        return 2;
    }
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size()
            && std::fflush(stdout) == 0
        ? 0
        : 1;
}
