#pragma once

namespace pellorin {

// Ends the process at once: no event loop, handler or destructor runs after
// it, and every window of the program goes with it. Settings are already on
// disk, since each is written when it changes.
[[noreturn]] void endProcessNow();

} // namespace pellorin
