#include "exchange/ContactImport.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "exchange/CsvContacts.h"
#include "exchange/CsvHeader.h"
#include "exchange/ImportParts.h"
#include "exchange/InputText.h"
#include "exchange/LdifContacts.h"
#include "exchange/TextLines.h"
#include "exchange/TsvContacts.h"
#include "exchange/VCardContacts.h"
#include "exchange/VCardLines.h"
#include "exchange/ContactTsv.h"
#include "text/Windows1252.h"

namespace fichelia::exchange {

namespace {

struct FormatName {
    std::string_view name;
    ContactFormat format;
};
constexpr std::array kFormatNames = std::to_array<FormatName>({
    {"auto", ContactFormat::Auto},
    {"tsv", ContactFormat::Tsv},
    {"csv", ContactFormat::Csv},
    {"vcard", ContactFormat::VCard},
    {"ldif", ContactFormat::Ldif},
});

// Files people pick by mistake, by the bytes they begin with.
struct FileKind {
    std::string_view magic;
    std::string_view name;
    bool ignoreCase = false;
};
constexpr std::array kOtherFileKinds = std::to_array<FileKind>({
    {"%PDF-", "PDF"},
    {"PK\x03\x04", "ZIP"},                             // also xlsx, docx, odt, ods
    {"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", "OLE2"}, // xls, doc of Office 97 to 2003
    {"\x89PNG", "PNG"},
    {"\xFF\xD8\xFF", "JPEG"},
    {"GIF8", "GIF"},
    {std::string_view("II*\0", 4), "TIFF"},
    {std::string_view("MM\0*", 4), "TIFF"},
    {"\x1F\x8B", "GZIP"},
    {"<!DOCTYPE html", "HTML", true}, // a directory page, say, given to write
    {"<html", "HTML", true},
});

std::string_view firstLine(std::string_view text) {
    std::string_view line = text.substr(0, text.find('\n'));
    while (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && vcard::isProperty(text.substr(0, prefix.size()), prefix);
}

std::optional<std::string_view> otherFileKind(std::string_view bytes) {
    std::string_view start = bytes.substr(0, 64);
    if (start.starts_with("\xEF\xBB\xBF")) {
        start.remove_prefix(3);
    }
    start.remove_prefix(std::min(start.find_first_not_of(" \t\r\n"), start.size()));
    for (const FileKind& kind : kOtherFileKinds) {
        if (kind.ignoreCase ? startsWithIgnoringCase(start, kind.magic) : start.starts_with(kind.magic)) {
            return kind.name;
        }
    }
    return std::nullopt;
}

bool isOurTsvLine(std::string_view line) {
    if (std::count(line.begin(), line.end(), '\t') != static_cast<long>(kFieldCount) - 1 ||
        !text::isValidUtf8(line)) {
        return false;
    }
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (std::size_t tab = line.find('\t');; tab = line.find('\t', start)) {
        cells.emplace_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos) {
            break;
        }
        start = tab + 1;
    }
    return !recognizeCsvHeader(cells);
}

// The lines of a text that are neither blank nor LDIF comments (with their
// continuation lines), the first few only.
std::vector<std::string_view> leadingLines(std::string_view text, std::size_t count) {
    std::vector<std::string_view> lines;
    TextLines all(text);
    bool inComment = false;
    while (!all.atEnd() && lines.size() < count) {
        const std::string_view line = all.next();
        if (inComment && !line.empty() && line.front() == ' ') {
            continue;
        }
        inComment = !line.empty() && line.front() == '#';
        if (!inComment && line.find_first_not_of(" \t") != std::string_view::npos) {
            lines.push_back(line.substr(line.find_first_not_of(" \t")));
        }
    }
    return lines;
}

std::string_view valueOf(std::string_view line) {
    std::string_view value = line.substr(std::min(line.find(':') + 1, line.size()));
    value.remove_prefix(std::min(value.find_first_not_of(' '), value.size()));
    return value.substr(0, value.find_last_not_of(' ') + 1);
}

// vCard, LDIF or CSV, from UTF-8 text.
ContactFormat detectTextFormat(std::string_view text) {
    const std::vector<std::string_view> lines = leadingLines(text, 2);
    if (lines.empty()) {
        return ContactFormat::Csv;
    }
    const std::string_view first = lines[0];
    if (startsWithIgnoringCase(first, "BEGIN:VCARD")) {
        return ContactFormat::VCard;
    }
    if (startsWithIgnoringCase(first, "VERSION:")) {
        const std::string_view version = valueOf(first);
        if (version == "2.1" || version == "3.0" || version == "4.0") {
            return ContactFormat::VCard; // a card that lost its BEGIN:VCARD
        }
        if (lines.size() > 1 && startsWithIgnoringCase(lines[1], "dn:")) {
            return ContactFormat::Ldif;
        }
    }
    return startsWithIgnoringCase(first, "dn:") ? ContactFormat::Ldif : ContactFormat::Csv;
}

long lineOf(std::string_view text, std::size_t pos) {
    return static_cast<long>(std::count(text.begin(), text.begin() + static_cast<long>(pos), '\n')) + 1;
}

bool isUtf16(InputEncoding encoding) {
    return encoding == InputEncoding::Utf16Le || encoding == InputEncoding::Utf16Be;
}

ImportReport importBytes(std::string_view bytes, const ImportOptions& options) {
    ImportSink sink(options.packInto);
    if (const auto kind = otherFileKind(bytes)) {
        sink.refuse(ImportProblem::OtherFileKind, 0, std::string(*kind));
        return sink.take(options.format);
    }
    const InputEncoding sniffed = InputText::sniff(bytes);
    if (!isUtf16(sniffed)) {
        if (const void* nul = std::memchr(bytes.data(), '\0', bytes.size())) {
            sink.refuse(ImportProblem::BinaryData, lineOf(bytes, static_cast<const char*>(nul) - bytes.data()));
            return sink.take(options.format);
        }
    }
    ContactFormat format = options.format;
    if (format == ContactFormat::Tsv ||
        (format == ContactFormat::Auto && sniffed == InputEncoding::Utf8 && isOurTsvLine(firstLine(bytes)))) {
        readInParts(bytes, readTsvContacts, tsvPartStart, sink, partsFor(bytes.size()));
        return sink.take(ContactFormat::Tsv);
    }
    const InputText input = InputText::decode(bytes);
    if (isUtf16(sniffed)) {
        const std::string_view text = input.text();
        if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos) {
            sink.refuse(ImportProblem::BinaryData, lineOf(text, nul));
            return sink.take(options.format);
        }
    }
    if (format == ContactFormat::Auto) {
        format = detectTextFormat(input.text());
    }
    switch (format) {
    case ContactFormat::VCard:
        readInParts(input.text(), readVCardContacts, vcardPartStart, sink, partsFor(input.text().size()));
        break;
    case ContactFormat::Ldif: readLdifContacts(input.text(), sink); break;
    default:
        format = ContactFormat::Csv;
        readCsvContacts(input.text(), CsvOptions{options.separator}, sink);
        break;
    }
    return sink.take(format);
}

} // namespace

std::optional<ContactFormat> contactFormatNamed(std::string_view name) {
    for (const FormatName& format : kFormatNames) {
        if (format.name == name) {
            return format.format;
        }
    }
    return std::nullopt;
}

ContactFormat detectContactFormat(std::string_view bytes) {
    if (InputText::sniff(bytes) == InputEncoding::Utf8 && isOurTsvLine(firstLine(bytes))) {
        return ContactFormat::Tsv;
    }
    return detectTextFormat(InputText::decode(bytes).text());
}

ImportReport importContacts(std::string_view bytes, const ImportOptions& options) {
    try {
        return importBytes(bytes, options);
    } catch (const std::bad_alloc&) {
        ImportReport report;
        report.format = options.format;
        report.refusal = ImportIssue{ImportProblem::OutOfMemory, 0, {}};
        if (options.packInto != nullptr) {
            options.packInto->clear();
        }
        return report;
    }
}

} // namespace fichelia::exchange
