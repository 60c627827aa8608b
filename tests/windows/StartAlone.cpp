// Starts a command line in a console window of its own, as File Explorer
// starts a console program on a double-click, and tells what became of it:
// "ended" and its status when it ended by itself within 15 seconds;
// otherwise "waiting", the text in its window, and its status once Enter is
// typed into that window. Needs a display for Wine's console windows.
//   start-alone.exe "COMMAND LINE"

#include <windows.h>

#include <string>

namespace {

// Standard output as it was at start: joining a console makes that
// console's output standard.
const HANDLE g_out = GetStdHandle(STD_OUTPUT_HANDLE);

void say(const std::string& text)
{
    DWORD written = 0;
    WriteFile(g_out, text.data(), DWORD(text.size()), &written, nullptr);
}

// The console's lines up to the cursor, blanks at their ends cut.
std::string screenText()
{
    const HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    CONSOLE_SCREEN_BUFFER_INFO info {};
    GetConsoleScreenBufferInfo(screen, &info);
    std::string text;
    std::wstring row(std::size_t(info.dwSize.X), L' ');
    for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
        DWORD read = 0;
        ReadConsoleOutputCharacterW(screen, row.data(), DWORD(row.size()), { 0, y }, &read);
        std::string line;
        for (DWORD i = 0; i < read; ++i)
            line += row[i] < 0x80 ? char(row[i]) : '?';
        text += line.substr(0, line.find_last_not_of(' ') + 1) + "\n";
    }
    return text;
}

void typeEnter()
{
    const HANDLE keys = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    INPUT_RECORD enter[2] {};
    for (int i = 0; i < 2; ++i) {
        enter[i].EventType = KEY_EVENT;
        enter[i].Event.KeyEvent.bKeyDown = i == 0;
        enter[i].Event.KeyEvent.wRepeatCount = 1;
        enter[i].Event.KeyEvent.wVirtualKeyCode = VK_RETURN;
        enter[i].Event.KeyEvent.uChar.UnicodeChar = L'\r';
    }
    DWORD written = 0;
    WriteConsoleInputW(keys, enter, 2, &written);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2)
        return 2;
    std::wstring commandLine = argv[1];
    STARTUPINFOW startup {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child {};
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
            nullptr, nullptr, &startup, &child)
        == 0) {
        say("cannot start it: error " + std::to_string(GetLastError()) + "\n");
        return 1;
    }
    // Joining its console earlier would add this program to the console's
    // list before the child has looked at it.
    const bool ended = WaitForSingleObject(child.hProcess, 15000) == WAIT_OBJECT_0;
    say(ended ? "ended\n" : "waiting\n");
    if (!ended) {
        FreeConsole();
        if (AttachConsole(child.dwProcessId) == 0) {
            say("cannot see its console: error " + std::to_string(GetLastError()) + "\n");
            TerminateProcess(child.hProcess, 1);
            return 1;
        }
        say(screenText());
        typeEnter();
        WaitForSingleObject(child.hProcess, 20000);
    }
    DWORD status = 0;
    GetExitCodeProcess(child.hProcess, &status);
    say("status " + std::to_string(status) + "\n");
    return 0;
}
