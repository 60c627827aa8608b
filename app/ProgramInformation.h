#pragma once

#include <optional>

namespace pellorin {

// `pellorin --version` and `pellorin --help` print the version or a short
// usage on standard output instead of opening the window; the first of them
// on the command line wins. Returns the exit status then, and nothing when
// the window is to open: every other argument is left to Qt or ignored.
std::optional<int> answerInformationRequest(int argc, const char* const* argv);

} // namespace pellorin
