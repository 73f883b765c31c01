#include "exchange/InputText.h"

#include <algorithm>

#include "text/Windows1252.h"

namespace fichelia::exchange {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
constexpr char32_t kReplacement = 0xFFFD;
constexpr std::size_t kListedLinesAtMost = 1000; // enough to tell a user; the list stays small

std::string utf16ToUtf8(std::string_view bytes, bool littleEndian) {
    std::string text;
    text.reserve(bytes.size());
    const auto unitAt = [&](std::size_t pos) -> char32_t {
        const auto first = static_cast<unsigned char>(bytes[pos]);
        const auto second = static_cast<unsigned char>(bytes[pos + 1]);
        return littleEndian ? first | (second << 8) : (first << 8) | second;
    };
    std::size_t pos = 0;
    for (; pos + 1 < bytes.size(); pos += 2) {
        const char32_t unit = unitAt(pos);
        if (unit >= 0xD800 && unit <= 0xDBFF && pos + 3 < bytes.size()) {
            const char32_t low = unitAt(pos + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                text::appendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                pos += 2;
                continue;
            }
        }
        text::appendUtf8(text, unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit);
    }
    if (pos < bytes.size()) {
        text::appendUtf8(text, kReplacement); // half a unit at the end
    }
    return text;
}

// UTF-16 without a byte order mark: among the first pairs of bytes, most have
// a NUL on one side and almost none on the other.
std::optional<bool> utf16Order(std::string_view bytes) {
    const std::size_t pairs = std::min<std::size_t>(bytes.size(), 512) / 2;
    if (pairs < 2) {
        return std::nullopt;
    }
    std::size_t evenNuls = 0;
    std::size_t oddNuls = 0;
    for (std::size_t i = 0; i < pairs; ++i) {
        evenNuls += bytes[2 * i] == '\0';
        oddNuls += bytes[2 * i + 1] == '\0';
    }
    if (oddNuls * 2 > pairs && evenNuls * 10 < pairs) {
        return true; // little-endian
    }
    if (evenNuls * 2 > pairs && oddNuls * 10 < pairs) {
        return false;
    }
    return std::nullopt;
}

} // namespace

InputEncoding InputText::sniff(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) {
        return InputEncoding::Utf8WithBom;
    }
    if (bytes.starts_with(kUtf16LeBom)) {
        return InputEncoding::Utf16Le;
    }
    if (bytes.starts_with(kUtf16BeBom)) {
        return InputEncoding::Utf16Be;
    }
    if (const auto littleEndian = utf16Order(bytes)) {
        return *littleEndian ? InputEncoding::Utf16Le : InputEncoding::Utf16Be;
    }
    return InputEncoding::Utf8;
}

InputText InputText::decode(std::string_view bytes) {
    InputText input;
    input.m_encoding = sniff(bytes);
    switch (input.m_encoding) {
    case InputEncoding::Utf8WithBom:
        input.m_original = bytes.substr(kUtf8Bom.size());
        if (!text::isValidUtf8(input.m_original)) {
            // Marked UTF-8 but is not: keep every character readable.
            input.decodeByLine(input.m_original);
        }
        break;
    case InputEncoding::Utf16Le:
    case InputEncoding::Utf16Be: {
        const bool littleEndian = input.m_encoding == InputEncoding::Utf16Le;
        const bool marked = bytes.starts_with(littleEndian ? kUtf16LeBom : kUtf16BeBom);
        input.m_converted = utf16ToUtf8(bytes.substr(marked ? 2 : 0), littleEndian);
        break;
    }
    default:
        if (text::isValidUtf8(bytes)) {
            input.m_original = bytes;
        } else {
            input.decodeByLine(bytes);
        }
        break;
    }
    return input;
}

void InputText::decodeByLine(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 8);
    bool utf8BeyondAscii = false;
    long number = 0;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t end = std::min(bytes.find('\n', pos), bytes.size() - 1) + 1;
        const std::string_view line = bytes.substr(pos, end - pos);
        ++number;
        pos = end;
        if (text::isValidUtf8(line)) {
            utf8BeyondAscii = utf8BeyondAscii || std::any_of(line.begin(), line.end(), [](char c) { return c & 0x80; });
            text.append(line);
        } else {
            text.append(text::windows1252ToUtf8(line));
            if (m_windows1252Lines.size() < kListedLinesAtMost) {
                m_windows1252Lines.push_back(number);
            }
        }
    }
    if (!utf8BeyondAscii) {
        m_windows1252Lines.clear();
        m_encoding = m_encoding == InputEncoding::Utf8 ? InputEncoding::Windows1252 : m_encoding;
    }
    m_converted = std::move(text);
}

} // namespace fichelia::exchange
