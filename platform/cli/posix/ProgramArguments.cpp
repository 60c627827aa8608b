#include "ProgramArguments.h"

namespace pellorin {

// The arguments are bytes as the shell passed them, UTF-8 in any sane locale.
std::vector<std::string> programArguments(int argc, char** argv)
{
    return { argv + (argc > 0 ? 1 : 0), argv + argc };
}

} // namespace pellorin
