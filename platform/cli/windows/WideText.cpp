#include "WideText.h"

#include <climits>
#include <windows.h>

namespace pellorin {

std::wstring wideText(std::string_view utf8)
{
    if (utf8.empty() || utf8.size() > INT_MAX)
        return {};
    const int size = int(utf8.size());
    std::wstring wide(
        std::size_t(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), int(wide.size()));
    return wide;
}

std::string utf8Text(std::wstring_view wide)
{
    if (wide.empty() || wide.size() > INT_MAX)
        return {};
    const int size = int(wide.size());
    std::string utf8(std::size_t(WideCharToMultiByte(
                         CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr)),
        '\0');
    WideCharToMultiByte(
        CP_UTF8, 0, wide.data(), size, utf8.data(), int(utf8.size()), nullptr, nullptr);
    return utf8;
}

} // namespace pellorin
