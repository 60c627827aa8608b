#include "ConsoleWindow.h"

#include <windows.h>

namespace pellorin {

bool inConsoleWindowOfItsOwn()
{
    DWORD mode = 0;
    if (GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) == 0)
        return false;
    // A shell shares its console with the programs it starts; a console
    // that Windows opened for this program alone lists no one else.
    DWORD processes[2] = {};
    return GetConsoleProcessList(processes, 2) == 1;
}

void waitForEnter()
{
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    char key = 0;
    DWORD read = 0;
    while (ReadFile(input, &key, 1, &read, nullptr) != 0 && read == 1 && key != '\r'
        && key != '\n') { }
}

} // namespace pellorin
