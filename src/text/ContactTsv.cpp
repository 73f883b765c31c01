#include "text/ContactTsv.h"

#include <array>
#include <cstring>

#include "text/Windows1252.h"

namespace fichelia::text {

namespace {

// The characters a field escapes; everything else is copied in runs.
bool needsEscape(char c) { return c == '\t' || c == '\n' || c == '\r' || c == '\\'; }

void appendEscapedField(std::string& line, std::string_view field) {
    std::size_t run = 0;
    for (std::size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (!needsEscape(c)) {
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
    const auto* backslash = static_cast<const char*>(std::memchr(field.data(), '\\', field.size()));
    if (backslash == nullptr) {
        text.assign(field.data(), field.size());
        return true;
    }
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
    if (!isValidUtf8(line)) {
        return {std::nullopt, "texte UTF-8 invalide"};
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
        return {std::nullopt, std::to_string(count) + " champ(s) au lieu de 8"};
    }
    ContactTsvResult result{annuaire(), {}};
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        if (!unescapeField(fields[i], (*result.record).*kRecordFields[i].text)) {
            return {std::nullopt, "séquence d'échappement inconnue dans le champ " + std::to_string(i + 1) +
                                      " (seuls \\t, \\n, \\r et \\\\ sont admis)"};
        }
    }
    return result;
}

void appendContactTsv(std::string& out, const annuaire& record) {
    for (const RecordField& field : kRecordFields) {
        if (field.text != kRecordFields.front().text) {
            out += '\t';
        }
        appendEscapedField(out, record.*field.text);
    }
}

std::string formatContactTsv(const annuaire& record) {
    std::string line;
    appendContactTsv(line, record);
    return line;
}

} // namespace fichelia::text
