#pragma once

namespace pellorin {

// True when the program runs in a console window of its own, which closes
// the moment it ends, and reads its keys from it: Windows opens one for a
// console program started from File Explorer. Never true from a shell, with
// standard input redirected, or on POSIX, where a terminal outlives the
// programs in it.
bool inConsoleWindowOfItsOwn();

// Waits for Enter, or the end of standard input.
void waitForEnter();

} // namespace pellorin
