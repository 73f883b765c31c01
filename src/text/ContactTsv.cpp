#include "text/ContactTsv.h"

#include <array>
#include <vector>

#include "text/Windows1252.h"

namespace fichelia::text {

namespace {

void appendEscapedField(std::string& line, std::string_view field) {
    for (char c : field) {
        switch (c) {
        case '\t': line += "\\t"; break;
        case '\n': line += "\\n"; break;
        case '\r': line += "\\r"; break;
        case '\\': line += "\\\\"; break;
        default: line += c; break;
        }
    }
}

// Undoes the escapes of one field; nothing on an unknown escape.
std::optional<std::string> unescapeField(std::string_view field) {
    std::string text;
    text.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            text += field[i];
            continue;
        }
        if (++i == field.size()) {
            return std::nullopt;
        }
        switch (field[i]) {
        case 't': text += '\t'; break;
        case 'n': text += '\n'; break;
        case 'r': text += '\r'; break;
        case '\\': text += '\\'; break;
        default: return std::nullopt;
        }
    }
    return text;
}

std::vector<std::string_view> splitAtTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

} // namespace

ContactTsvResult parseContactTsv(std::string_view line) {
    if (!isValidUtf8(line)) {
        return {std::nullopt, "texte UTF-8 invalide"};
    }
    const std::vector<std::string_view> fields = splitAtTabs(line);
    if (fields.size() != kFieldCount) {
        return {std::nullopt, std::to_string(fields.size()) + " champ(s) au lieu de 8"};
    }
    annuaire record;
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        auto text = unescapeField(fields[i]);
        if (!text) {
            return {std::nullopt, "séquence d'échappement inconnue dans le champ " + std::to_string(i + 1) +
                                      " (seuls \\t, \\n, \\r et \\\\ sont admis)"};
        }
        record.*kRecordFields[i].text = std::move(*text);
    }
    return {std::move(record), {}};
}

std::string formatContactTsv(const annuaire& record) {
    std::string line;
    for (const RecordField& field : kRecordFields) {
        if (field.text != kRecordFields.front().text) {
            line += '\t';
        }
        appendEscapedField(line, record.*field.text);
    }
    return line;
}

} // namespace fichelia::text
