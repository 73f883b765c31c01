#include "platform/Unicode.h"

#include <memory>

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>

namespace fichelia::unicode {

std::u32string decomposed(std::string_view utf8) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* decompose = icu::Normalizer2::getNFDInstance(status);
    icu::UnicodeString text =
        icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    if (U_SUCCESS(status)) {
        text = decompose->normalize(text, status);
    }
    std::u32string codePoints;
    for (int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1)) {
        codePoints += static_cast<char32_t>(text.char32At(i));
    }
    return codePoints;
}

bool isMark(char32_t c) {
    const auto codePoint = static_cast<UChar32>(c);
    return u_getCombiningClass(codePoint) != 0 || u_charType(codePoint) == U_NON_SPACING_MARK;
}

bool isLetterOrDigit(char32_t c) {
    return u_isalnum(static_cast<UChar32>(c));
}

char32_t toLower(char32_t c) {
    return static_cast<char32_t>(u_tolower(static_cast<UChar32>(c)));
}

std::optional<std::string> decodeCharset(std::string_view bytes, std::string_view charset) {
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UConverter, decltype(&ucnv_close)> converter(ucnv_open(std::string(charset).c_str(), &status),
                                                                       ucnv_close);
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    const icu::UnicodeString text(bytes.data(), static_cast<int32_t>(bytes.size()), converter.get(), status);
    if (U_FAILURE(status)) {
        return std::nullopt;
    }
    std::string utf8;
    text.toUTF8String(utf8);
    return utf8;
}

} // namespace fichelia::unicode
