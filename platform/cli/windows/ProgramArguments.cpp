#include "ProgramArguments.h"

#include "WideText.h"

#include <windows.h>

#include <shellapi.h>

#include <string_view>

namespace pellorin {

// main()'s argv went through the ANSI code page, which turns what it cannot
// hold into '?': the wide command line is the one the caller typed.
std::vector<std::string> programArguments(int argc, char** argv)
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr)
        return { argv + (argc > 0 ? 1 : 0), argv + argc };
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        // Windows' own way to ask a program for help; '?' is in no file
        // name there.
        arguments.push_back(std::wstring_view(wide[i]) == L"/?" ? "--help" : utf8Text(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

} // namespace pellorin
