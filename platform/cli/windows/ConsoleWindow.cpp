#include "ConsoleWindow.h"

#include <windows.h>

#include <array>

namespace pellorin {

bool inConsoleWindowOfItsOwn()
{
    DWORD mode = 0;
    if (GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) == 0)
        return false;
    // Windows titles a console it opens for a program with the program's
    // path; one without a title is a terminal's that outlives the program
    // (Wine's in a Unix terminal).
    // (Room for a long path: some versions return 0 for a title that does
    // not fit.)
    std::array<wchar_t, 4096> title {};
    if (GetConsoleTitleW(title.data(), DWORD(title.size())) == 0 && title[0] == L'\0')
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
