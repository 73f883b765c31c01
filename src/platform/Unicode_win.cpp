#include "platform/Unicode.h"

#include <array>
#include <cctype>
#include <utility>

#include "platform/WideText_win.h"

namespace fichelia::unicode {

namespace {

// The UTF-16 units of one code point.
std::wstring unitsOf(char32_t c) {
    if (c < 0x10000) {
        return std::wstring(1, static_cast<wchar_t>(c));
    }
    c -= 0x10000;
    return {static_cast<wchar_t>(0xD800 + (c >> 10)), static_cast<wchar_t>(0xDC00 + (c & 0x3FF))};
}

// The character type flags of one code point, for a type class of
// GetStringTypeW (CT_CTYPE1 or CT_CTYPE3). Windows types UTF-16 units, not
// code points: those beyond the first plane (a few rare scripts and
// letter-like symbols) have none here.
WORD typeOf(char32_t c, DWORD typeClass) {
    WORD type = 0;
    if (c >= 0x10000 || !GetStringTypeW(typeClass, unitsOf(c).c_str(), 1, &type)) {
        return 0;
    }
    return type;
}

// A charset name as IANA and ICU compare them: letter case, '-', '_' and
// spaces ignored.
std::string charsetKey(std::string_view name) {
    std::string key;
    for (const char c : name) {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return key;
}

// The charsets of contact files, and the Windows code page of each.
constexpr std::pair<std::string_view, UINT> kCodePages[] = {
    {"utf8", CP_UTF8},     {"usascii", 20127},    {"ascii", 20127},      {"iso88591", 28591},   {"latin1", 28591},
    {"iso88592", 28592},   {"latin2", 28592},     {"iso88593", 28593},   {"iso88594", 28594},   {"iso88595", 28595},
    {"iso88596", 28596},   {"iso88597", 28597},   {"iso88598", 28598},   {"iso88599", 28599},   {"latin5", 28599},
    {"iso885913", 28603},  {"iso885915", 28605},  {"latin9", 28605},     {"windows1250", 1250}, {"windows1251", 1251},
    {"windows1252", 1252}, {"windows1253", 1253}, {"windows1254", 1254}, {"windows1255", 1255}, {"windows1256", 1256},
    {"windows1257", 1257}, {"windows1258", 1258}, {"cp1250", 1250},      {"cp1251", 1251},      {"cp1252", 1252},
    {"ibm850", 850},       {"cp850", 850},        {"koi8r", 20866},      {"koi8u", 21866},      {"shiftjis", 932},
    {"sjis", 932},         {"eucjp", 20932},      {"gb2312", 936},       {"gbk", 936},          {"gb18030", 54936},
    {"big5", 950},         {"euckr", 949},        {"macintosh", 10000},  {"macroman", 10000},   {"cp932", 932},
    {"windows31j", 932},   {"mskanji", 932},      {"csshiftjis", 932},   {"xsjis", 932},        {"iso2022jp", 50220},
    {"csiso2022jp", 50220}, {"cp949", 949},       {"ksc56011987", 949},  {"uhc", 949},          {"iso2022kr", 50225},
    {"cp936", 936},        {"hzgb2312", 52936},   {"cp950", 950},        {"ibm437", 437},       {"cp437", 437},
    {"ibm866", 866},       {"cp866", 866},        {"windows874", 874},   {"tis620", 874},       {"utf7", 65000},
};

} // namespace

std::u32string decomposed(std::string_view utf8) {
    const std::wstring text = wide::fromUtf8(utf8);
    std::wstring decomposedText;
    if (!text.empty()) {
        int size = NormalizeString(NormalizationD, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
        for (int attempt = 0; size > 0 && attempt < 4; ++attempt) {
            decomposedText.resize(static_cast<std::size_t>(size));
            size = NormalizeString(NormalizationD, text.c_str(), static_cast<int>(text.size()), decomposedText.data(),
                                   size);
            if (size > 0) {
                decomposedText.resize(static_cast<std::size_t>(size));
                break;
            }
            // The first size is an estimate: a negative result says how far off it was.
            size = GetLastError() == ERROR_INSUFFICIENT_BUFFER ? -size : 0;
        }
        if (size <= 0) {
            decomposedText = text; // not normalizable (never for valid UTF-16): taken as it is
        }
    }
    std::u32string codePoints;
    for (std::size_t i = 0; i < decomposedText.size(); ++i) {
        const char32_t unit = decomposedText[i];
        const bool pair = unit >= 0xD800 && unit < 0xDC00 && i + 1 < decomposedText.size() &&
                          decomposedText[i + 1] >= 0xDC00 && decomposedText[i + 1] < 0xE000;
        codePoints += pair ? 0x10000 + ((unit - 0xD800) << 10) + (decomposedText[++i] - 0xDC00) : unit;
    }
    return codePoints;
}

bool isMark(char32_t c) {
    return (typeOf(c, CT_CTYPE3) & (C3_NONSPACING | C3_DIACRITIC)) != 0;
}

bool isLetterOrDigit(char32_t c) {
    return (typeOf(c, CT_CTYPE1) & (C1_ALPHA | C1_DIGIT)) != 0;
}

char32_t toLower(char32_t c) {
    const std::wstring units = unitsOf(c);
    std::array<wchar_t, 2> lower{};
    const int length =
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, units.c_str(), static_cast<int>(units.size()),
                      lower.data(), static_cast<int>(lower.size()), nullptr, nullptr, 0);
    return length == 1 ? lower[0] : c;
}

std::optional<std::string> decodeCharset(std::string_view bytes, std::string_view charset) {
    const std::string key = charsetKey(charset);
    for (const auto& [name, codePage] : kCodePages) {
        if (name != key) {
            continue;
        }
        if (bytes.empty()) {
            return std::string();
        }
        // Without MB_ERR_INVALID_CHARS, bytes that mean nothing in the code page
        // become its replacement character rather than failing the conversion.
        const int size = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
        if (size <= 0) {
            return std::nullopt;
        }
        std::wstring text(static_cast<std::size_t>(size), L'\0');
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
        return wide::toUtf8(text);
    }
    return std::nullopt;
}

} // namespace fichelia::unicode
