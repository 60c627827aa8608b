// A Windows program that holds a file open as an editor or a database does,
// sharing it for reading only, or with "shared" for reading, writing and
// deletion as a viewer does, until its standard input ends. It says "held"
// on standard output once the file is open.
//   hold-file.exe FILE [shared]

#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2 && argc != 3)
        return 2;
    const DWORD sharing
        = argc == 3 ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE : FILE_SHARE_READ;
    const HANDLE file = CreateFileW(
        argv[1], GENERIC_READ, sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "hold-file: cannot open the file: error %lu\n", GetLastError());
        return 1;
    }
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), "held\n", 5, &written, nullptr);
    char byte = 0;
    DWORD read = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &read, nullptr) != 0 && read > 0) { }
    CloseHandle(file);
    return 0;
}
