#include "exchange/FoldedName.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace fichelia::exchange {

std::string foldName(std::string_view utf8Name) {
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* decompose = icu::Normalizer2::getNFDInstance(status);
    icu::UnicodeString name = icu::UnicodeString::fromUTF8(icu::StringPiece(utf8Name.data(),
                                                                            static_cast<int32_t>(utf8Name.size())));
    if (U_SUCCESS(status)) {
        name = decompose->normalize(name, status);
    }
    icu::UnicodeString folded;
    bool spaceDue = false;
    for (int32_t i = 0; i < name.length(); i = name.moveIndex32(i, 1)) {
        const UChar32 c = name.char32At(i);
        if (u_getCombiningClass(c) != 0 || u_charType(c) == U_NON_SPACING_MARK) {
            continue; // the accent of a decomposed letter
        }
        if (!u_isalnum(c)) {
            spaceDue = !folded.isEmpty();
            continue;
        }
        if (spaceDue) {
            folded.append(u' ');
            spaceDue = false;
        }
        folded.append(u_tolower(c));
    }
    std::string text;
    folded.toUTF8String(text);
    return text;
}

} // namespace fichelia::exchange
