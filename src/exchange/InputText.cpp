#include "exchange/InputText.h"

#include "text/Windows1252.h"

namespace fichelia::exchange {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
constexpr char32_t kReplacement = 0xFFFD;

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

} // namespace

InputText InputText::decode(std::string_view bytes) {
    InputText input;
    if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
        input.m_original = bytes.substr(kUtf8Bom.size());
        input.m_encoding = InputEncoding::Utf8WithBom;
        if (!text::isValidUtf8(input.m_original)) {
            // Marked UTF-8 but is not: keep every character readable.
            input.m_converted = text::windows1252ToUtf8(input.m_original);
        }
    } else if (bytes.substr(0, kUtf16LeBom.size()) == kUtf16LeBom) {
        input.m_converted = utf16ToUtf8(bytes.substr(2), true);
        input.m_encoding = InputEncoding::Utf16Le;
    } else if (bytes.substr(0, kUtf16BeBom.size()) == kUtf16BeBom) {
        input.m_converted = utf16ToUtf8(bytes.substr(2), false);
        input.m_encoding = InputEncoding::Utf16Be;
    } else if (text::isValidUtf8(bytes)) {
        input.m_original = bytes;
    } else {
        input.m_converted = text::windows1252ToUtf8(bytes);
        input.m_encoding = InputEncoding::Windows1252;
    }
    return input;
}

} // namespace fichelia::exchange
