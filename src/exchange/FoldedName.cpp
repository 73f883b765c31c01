#include "exchange/FoldedName.h"

#include "platform/Unicode.h"
#include "text/Windows1252.h"

namespace fichelia::exchange {

std::string foldName(std::string_view utf8Name) {
    std::string folded;
    bool spaceDue = false;
    for (const char32_t c : unicode::decomposed(utf8Name)) {
        if (unicode::isMark(c)) {
            continue; // the accent of a decomposed letter
        }
        if (!unicode::isLetterOrDigit(c)) {
            spaceDue = !folded.empty();
            continue;
        }
        if (spaceDue) {
            folded += ' ';
            spaceDue = false;
        }
        text::appendUtf8(folded, unicode::toLower(c));
    }
    return folded;
}

} // namespace fichelia::exchange
