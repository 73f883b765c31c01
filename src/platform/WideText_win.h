#pragma once

// UTF-8 and the UTF-16 of Windows' wide functions, for the _win files of
// src/platform. Malformed UTF-8 is read as U+FFFD.

#include <climits>
#include <string>
#include <string_view>

#include <windows.h>

namespace fichelia::wide {

inline std::wstring fromUtf8(std::string_view utf8) {
    if (utf8.empty() || utf8.size() > INT_MAX) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    std::wstring utf16(utf8.size(), L'\0'); // never more UTF-16 units than UTF-8 bytes
    utf16.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, utf16.data(), size)));
    return utf16;
}

inline std::string toUtf8(std::wstring_view utf16) {
    if (utf16.empty() || utf16.size() > INT_MAX / 3) {
        return {};
    }
    const int size = static_cast<int>(utf16.size());
    std::string utf8(3 * utf16.size(), '\0'); // at most three bytes for each UTF-16 unit
    utf8.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, utf8.data(),
                                                             static_cast<int>(utf8.size()), nullptr, nullptr)));
    return utf8;
}

} // namespace fichelia::wide
