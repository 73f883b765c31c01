#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Conversion between the page's 8-bit Windows-1252 text and the UTF-8 text that
// records hold. The five bytes that Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the code points of the same value, as browsers decode
// them, so that every byte survives a trip through a record and back.
namespace fichelia::text {

// The code point a Windows-1252 byte stands for.
char32_t windows1252ToCodePoint(unsigned char byte);

// The Windows-1252 byte for a code point, or nothing when the code page lacks it.
std::optional<unsigned char> codePointToWindows1252(char32_t codePoint);

// Appends the UTF-8 form of one code point (which must be a scalar value).
void appendUtf8(std::string& out, char32_t codePoint);

// Decodes Windows-1252 bytes into UTF-8.
std::string windows1252ToUtf8(std::string_view bytes);
void appendWindows1252AsUtf8(std::string& out, std::string_view bytes);

// Reads one code point of UTF-8 from text at pos and advances pos past it.
// Malformed input (a stray byte, an overlong or truncated sequence, a surrogate,
// a value beyond U+10FFFF) yields nothing and advances pos by one byte.
std::optional<char32_t> nextUtf8CodePoint(std::string_view text, std::size_t& pos);

// True when text is well-formed UTF-8.
bool isValidUtf8(std::string_view text);

} // namespace fichelia::text
