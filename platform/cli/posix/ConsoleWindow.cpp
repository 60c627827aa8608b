#include "ConsoleWindow.h"

namespace pellorin {

bool inConsoleWindowOfItsOwn()
{
    return false;
}

void waitForEnter() { }

} // namespace pellorin
