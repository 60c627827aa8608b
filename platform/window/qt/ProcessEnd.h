#pragma once

namespace pellorin {

// Ends the process at once: no event loop, handler or destructor runs after
// it, and every window of the program goes with it. Settings are already on
// disk, since each is written when it changes.
[[noreturn]] void endProcessNow();

// Call at start. A write to a connection whose other end has gone (the
// office's pipe) or past the file size limit then fails and is reported like
// any failed write, instead of a signal ending the program and its list
// without a word.
void ignoreWriteSignals();

} // namespace pellorin
