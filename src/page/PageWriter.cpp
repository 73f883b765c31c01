#include "page/PageWriter.h"

#include <array>
#include <charconv>

#include "page/PageItems.h"
#include "text/Windows1252.h"

namespace fichelia {

namespace page {

namespace {

constexpr std::string_view kRecordPrefix = "remplirTabFournisseur(";
constexpr std::string_view kHexDigits = "0123456789ABCDEF";

// What the value writer does with each ASCII byte: copy it, or look closer.
// Bytes from 0x80 on start a UTF-8 sequence and always take the slow path.
constexpr std::array<bool, 256> makeCopyAsIs() {
    std::array<bool, 256> copy{};
    for (int c = 0x20; c < 0x7F; ++c) {
        copy[static_cast<std::size_t>(c)] = true;
    }
    copy['\t'] = true;
    copy['\\'] = false; // escape character of the script's strings
    copy['"'] = false;  // ends the value
    copy['/'] = false;  // escaped after '<'
    copy['<'] = false;  // escaped before '!'
    return copy;
}
constexpr std::array<bool, 256> kCopyAsIs = makeCopyAsIs();

void appendHexEscape(std::string& page, char prefix, char32_t value, int digits) {
    page += '\\';
    page += prefix;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) {
        page += kHexDigits[(value >> shift) & 0xF];
    }
}

void appendNonAscii(std::string& page, char32_t codePoint) {
    if (const auto byte = text::codePointToWindows1252(codePoint)) {
        page += static_cast<char>(*byte);
    } else if (codePoint <= 0xFFFF) {
        appendHexEscape(page, 'u', codePoint, 4);
    } else {
        const char32_t offset = codePoint - 0x10000;
        appendHexEscape(page, 'u', 0xD800 + (offset >> 10), 4);
        appendHexEscape(page, 'u', 0xDC00 + (offset & 0x3FF), 4);
    }
}

void appendNumber(std::string& page, std::size_t number) {
    std::array<char, 24> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), number);
    page.append(digits.data(), result.ptr);
}

} // namespace

void appendScriptValue(std::string& page, std::string_view utf8Text) {
    std::size_t pos = 0;
    while (pos < utf8Text.size()) {
        const std::size_t runStart = pos;
        while (pos < utf8Text.size() && kCopyAsIs[static_cast<unsigned char>(utf8Text[pos])]) {
            ++pos;
        }
        page.append(utf8Text.data() + runStart, pos - runStart);
        if (pos == utf8Text.size()) {
            break;
        }
        const auto c = static_cast<unsigned char>(utf8Text[pos]);
        if (c == '\\') {
            page += "\\\\";
            ++pos;
        } else if (c == '"') {
            page += "\\x22";
            ++pos;
        } else if (c == '<') {
            page += (pos + 1 < utf8Text.size() && utf8Text[pos + 1] == '!') ? "\\x3C" : "<";
            ++pos;
        } else if (c == '/') {
            page += (pos > 0 && utf8Text[pos - 1] == '<') ? "\\/" : "/";
            ++pos;
        } else if (c < 0x80) {
            appendHexEscape(page, 'x', c, 2);
            ++pos;
        } else {
            const auto codePoint = text::nextUtf8CodePoint(utf8Text, pos);
            appendNonAscii(page, codePoint.value_or(0xFFFD));
        }
    }
}

void appendRecordLine(std::string& page, int index, const annuaire& record) {
    page += kRecordPrefix;
    appendNumber(page, static_cast<std::size_t>(index));
    page += ",\"";
    // Value order of the page's remplirTabFournisseur: commentaire before site.
    const std::string* const values[] = {&record.nom, &record.adresse, &record.tel,         &record.gsm,
                                         &record.fax, &record.mail,    &record.commentaire, &record.site};
    bool first = true;
    for (const std::string* value : values) {
        if (!first) {
            page += "\",\"";
        }
        first = false;
        appendScriptValue(page, *value);
    }
    page += "\");\n";
}

} // namespace page

std::string BuildDirectoryPage(const DirectoryList& list, std::string_view publisherAddress) {
    const int count = list.count();
    std::size_t size = publisherAddress.size() + 64;
    for (const page::PageItem& item : page::kPageItems) {
        size += item.text.size();
    }
    for (int i = 0; i < count; ++i) {
        const annuaire& r = list.recordAt(i);
        size += 60 + r.nom.size() + r.adresse.size() + r.tel.size() + r.gsm.size() + r.fax.size() + r.mail.size() +
                r.site.size() + r.commentaire.size();
    }

    std::string page;
    page.reserve(size);
    for (const page::PageItem& item : page::kPageItems) {
        switch (item.kind) {
        case page::PageItem::Fixed:
            page += item.text;
            break;
        case page::PageItem::ContactCount:
            page::appendNumber(page, static_cast<std::size_t>(count));
            break;
        case page::PageItem::RecordLines:
            for (int i = 0; i < count; ++i) {
                page::appendRecordLine(page, i, list.recordAt(i));
            }
            break;
        case page::PageItem::PublisherAddress:
            page += publisherAddress;
            break;
        }
    }
    return page;
}

} // namespace fichelia
