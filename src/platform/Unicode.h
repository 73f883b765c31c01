#pragma once

#include <optional>
#include <string>
#include <string_view>

// Unicode facts and charsets, as the contact importers need them. Two versions,
// chosen by CMake: ICU (Unicode_icu.cpp), and on Windows, where no ICU comes
// with the compiler, the Windows API (Unicode_win.cpp).
namespace fichelia::unicode {

// The code points of a UTF-8 text in canonical decomposition (NFD): an
// accented letter as its base letter followed by its accents. Malformed UTF-8
// is read as U+FFFD.
std::u32string decomposed(std::string_view utf8);

// An accent or other mark that goes with the character before it.
bool isMark(char32_t c);

bool isLetterOrDigit(char32_t c);

char32_t toLower(char32_t c);

// The UTF-8 of bytes in the charset of that name ("ISO-8859-15",
// "windows-1250", "Shift_JIS"), bytes that mean nothing in it read as a
// replacement character; none for a charset unknown here. ICU knows every
// charset and alias of its data; the Windows version, the usual ones of
// mail and phone exports, by their IANA names.
std::optional<std::string> decodeCharset(std::string_view bytes, std::string_view charset);

} // namespace fichelia::unicode
