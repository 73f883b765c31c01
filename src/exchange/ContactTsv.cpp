#include "exchange/ContactTsv.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "text/Windows1252.h"

namespace fichelia::exchange {

namespace {

// The characters a field escapes; everything else is copied in runs.
constexpr std::array<bool, 256> makeEscaped() {
    std::array<bool, 256> escaped{};
    escaped['\t'] = escaped['\n'] = escaped['\r'] = escaped['\\'] = true;
    return escaped;
}
constexpr std::array<bool, 256> kEscaped = makeEscaped();

// True when one of the eight bytes of word may need an escape: a control
// character or a backslash. Texts rarely hold one, so most words are copied
// as they are.
bool mayNeedEscape(std::uint64_t word) {
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kHighBits = 0x8080808080808080;
    const std::uint64_t backslashes = word ^ (kOnes * '\\');
    const std::uint64_t controls = (word - kOnes * 0x20) & ~word;
    return (((backslashes - kOnes) & ~backslashes) | controls) & kHighBits;
}

// True when text may hold a character to escape.
bool mayNeedEscape(std::string_view text) {
    std::size_t i = 0;
    for (; i + sizeof(std::uint64_t) <= text.size(); i += sizeof(std::uint64_t)) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + i, sizeof word);
        if (mayNeedEscape(word)) {
            return true;
        }
    }
    for (; i < text.size(); ++i) {
        if (kEscaped[static_cast<unsigned char>(text[i])]) {
            return true;
        }
    }
    return false;
}

void appendEscapedField(std::string& line, std::string_view field) {
    std::size_t run = 0;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (!kEscaped[static_cast<unsigned char>(c)]) {
            continue;
        }
        line.append(field.data() + run, i - run);
        line += '\\';
        line += c == '\t' ? 't' : c == '\n' ? 'n' : c == '\r' ? 'r' : '\\';
        run = i + 1;
    }
    line.append(field.data() + run, field.size() - run);
}

// Undoes the escapes of one field into text; false on an unknown escape.
bool unescapeField(std::string_view field, std::string& text) {
    text.clear();
    text.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            text += field[i];
            continue;
        }
        if (++i == field.size()) {
            return false;
        }
        switch (field[i]) {
        case 't': text += '\t'; break;
        case 'n': text += '\n'; break;
        case 'r': text += '\r'; break;
        case '\\': text += '\\'; break;
        default: return false;
        }
    }
    return true;
}

} // namespace

ContactTsvResult parseContactTsv(std::string_view line) {
    if (!text::isValidUtf8(line)) {
        return {std::nullopt, TsvProblem::InvalidUtf8};
    }
    std::array<std::string_view, kFieldCount> fields;
    std::size_t count = 0;
    std::size_t start = 0;
    for (;;) {
        const auto* tab = static_cast<const char*>(std::memchr(line.data() + start, '\t', line.size() - start));
        const std::size_t end = tab != nullptr ? static_cast<std::size_t>(tab - line.data()) : line.size();
        if (count < kFieldCount) {
            fields[count] = line.substr(start, end - start);
        }
        ++count;
        if (tab == nullptr) {
            break;
        }
        start = end + 1;
    }
    if (count != kFieldCount) {
        return {std::nullopt, TsvProblem::FieldCount, count};
    }
    // Most lines hold no escape at all: their fields are taken as they stand.
    const bool escaped = line.find('\\') != std::string_view::npos;
    ContactTsvResult result{Contact()};
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        std::string& text = (*result.record).*kRecordFields[i].text;
        if (!escaped) {
            text.assign(fields[i]);
        } else if (!unescapeField(fields[i], text)) {
            return {std::nullopt, TsvProblem::UnknownEscape, i + 1};
        }
    }
    return result;
}

void appendContactTsv(std::string& out, const Contact& record) {
    // Most records hold nothing to escape: their line is then laid out in one
    // piece, the fields copied where they go.
    std::size_t size = kFieldCount - 1;
    bool plain = true;
    for (const RecordField& field : kRecordFields) {
        const std::string& text = record.*field.text;
        size += text.size();
        plain = plain && !mayNeedEscape(text);
    }
    if (plain) {
        const std::size_t start = out.size();
        out.resize(start + size);
        char* p = out.data() + start;
        for (const RecordField& field : kRecordFields) {
            const std::string& text = record.*field.text;
            if (field.text != kRecordFields.front().text) {
                *p++ = '\t';
            }
            std::memcpy(p, text.data(), text.size());
            p += text.size();
        }
        return;
    }
    for (const RecordField& field : kRecordFields) {
        if (field.text != kRecordFields.front().text) {
            out += '\t';
        }
        appendEscapedField(out, record.*field.text);
    }
}

std::string formatContactTsv(const Contact& record) {
    std::string line;
    appendContactTsv(line, record);
    return line;
}

} // namespace fichelia::exchange
