#pragma once

#include <string>
#include <vector>

namespace pellorin {

// The arguments after the program's name, in UTF-8 whatever the system's
// own code page: Windows hands main() its arguments in the ANSI code page,
// which cannot hold every file name, so there they are read once from the
// wide command line instead, and the system's own help switch, /?, is
// read as --help.
std::vector<std::string> programArguments(int argc, char** argv);

} // namespace pellorin
