// Writes pellorin-cli's manual page or a shell's completion to standard
// output, for the build: all come from the command table --help shows.
// Usage: pellorin-cli-docs man YYYY-MM-DD | pellorin-cli-docs completion bash|zsh|fish

#include "Completions.h"
#include "ManualPage.h"

#include <cstdio>
#include <string>
#include <string_view>

int main(int argc, char** argv)
{
    const std::string_view what = argc > 1 ? argv[1] : "";
    const std::string_view which = argc > 2 ? argv[2] : "";
    std::string text;
    if (what == "man" && argc == 3)
        text = pellorin::cli::manualPage(which);
    else if (what == "completion" && argc == 3 && which == "bash")
        text = pellorin::cli::bashCompletion();
    else if (what == "completion" && argc == 3 && which == "zsh")
        text = pellorin::cli::zshCompletion();
    else if (what == "completion" && argc == 3 && which == "fish")
        text = pellorin::cli::fishCompletion();
    else {
        std::fputs("Usage: pellorin-cli-docs man YYYY-MM-DD | pellorin-cli-docs completion "
                   "bash|zsh|fish\n",
            stderr);
        return 2;
    }
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size()
            && std::fflush(stdout) == 0
        ? 0
        : 1;
}
