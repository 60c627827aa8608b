#pragma once

#include "CommandTable.h"

#include <string_view>
#include <vector>

namespace pellorin::cli {

// What the help says where the systems differ: the shells its examples are
// typed into, and what --output does to the file it replaces. Each system's
// build compiles its own: PosixTexts.cpp or WindowsTexts.cpp.
struct PlatformTexts {
    std::string_view outputRule; // generate's paragraph on --output
    std::string_view examplesHeading; // "Examples:"
    Example generateAmex, generateCsv, generateFile, roundTrip, checkNumber, brandsJson;
    // Said, and then Enter awaited, when the program was started from a
    // file manager with nothing to do, in a console window of its own that
    // would close at once; empty where that does not happen.
    std::string_view startedAlone;
};

const PlatformTexts& platformTexts();

} // namespace pellorin::cli
