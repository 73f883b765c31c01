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

// How far into a text its kind is looked for.
constexpr std::size_t kProbeSize = 64 * 1024;

// What the lines near the beginning of a text say it is.
enum class TextKind { VCard, Ldif, ICalendar, Xml, LdapSchema, Table, Other };

std::string_view valueOf(std::string_view line) {
    std::string_view value = line.substr(std::min(line.find(':') + 1, line.size()));
    value.remove_prefix(std::min(value.find_first_not_of(' '), value.size()));
    return value.substr(0, value.find_last_not_of(' ') + 1);
}

bool isVCardVersion(std::string_view line) {
    if (!startsWithIgnoringCase(line, "VERSION:")) {
        return false;
    }
    const std::string_view version = valueOf(line);
    return version == "2.1" || version == "3.0" || version == "4.0";
}

// A definition of an LDAP schema, in its own syntax or as an LDIF attribute.
bool isSchemaLine(std::string_view line) {
    for (const std::string_view word : {"olcattributetypes:", "olcobjectclasses:", "attributetypes:", "objectclasses:",
                                        "attributetype", "objectclass"}) {
        if (startsWithIgnoringCase(line, word)) {
            const std::string_view rest = line.substr(word.size());
            return word.back() == ':' || (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t' ||
                                                             rest.front() == '('));
        }
    }
    return false;
}

// The kind of text, from its first 64 kB: a vCard when a line there begins
// with BEGIN:VCARD (or when the first line is a vCard's VERSION:), an
// iCalendar when BEGIN:VCALENDAR comes first; an LDAP schema when a line
// defines an attribute type or an object class; LDIF when a line begins with
// dn:; XML when the text begins with '<'.
TextKind probeText(std::string_view text) {
    TextLines lines(text.substr(0, kProbeSize));
    bool first = true;
    bool ldif = false;
    bool schema = false;
    while (!lines.atEnd()) {
        std::string_view line = lines.next();
        line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (first && line.front() == '<') {
            return TextKind::Xml;
        }
        if (startsWithIgnoringCase(line, "BEGIN:VCARD") || (first && isVCardVersion(line))) {
            return TextKind::VCard;
        }
        if (startsWithIgnoringCase(line, "BEGIN:VCALENDAR")) {
            return TextKind::ICalendar;
        }
        first = false;
        schema = schema || isSchemaLine(line);
        ldif = ldif || startsWithIgnoringCase(line, "dn:");
    }
    return schema ? TextKind::LdapSchema : ldif ? TextKind::Ldif : TextKind::Other;
}

// The text of a file without its UTF-8 byte order mark.
std::string_view withoutBom(std::string_view bytes) {
    return bytes.starts_with("\xEF\xBB\xBF") ? bytes.substr(3) : bytes;
}

// The first 64 kB of a text as UTF-8, for the tests of a table (a line cut
// at the end is of no matter).
InputText probeWindow(std::string_view text) { return InputText::decode(text.substr(0, kProbeSize)); }

bool isBlank(std::string_view text) { return text.find_first_not_of(" \t\r\n") == std::string_view::npos; }

long lineOf(std::string_view text, std::size_t pos) {
    return static_cast<long>(std::count(text.begin(), text.begin() + static_cast<long>(pos), '\n')) + 1;
}

bool isUtf16(InputEncoding encoding) {
    return encoding == InputEncoding::Utf16Le || encoding == InputEncoding::Utf16Be;
}

// The detail of a NotAnAddressBook refusal for a kind of text.
std::string_view kindName(TextKind kind) {
    switch (kind) {
    case TextKind::ICalendar: return "ICALENDAR";
    case TextKind::Xml: return "XML";
    case TextKind::LdapSchema: return "LDAPSCHEMA";
    default: return {};
    }
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
        return sink.take(ContactFormat::Tsv, format == ContactFormat::Tsv); // an empty page when asked for
    }
    // UTF-16 is decoded first; 8-bit text is looked at as it is, and a vCard read so.
    std::optional<InputText> input;
    if (isUtf16(sniffed)) {
        input = InputText::decode(bytes);
        if (const std::size_t nul = input->text().find('\0'); nul != std::string_view::npos) {
            sink.refuse(ImportProblem::BinaryData, lineOf(input->text(), nul));
            return sink.take(options.format);
        }
    }
    const std::string_view text = input ? input->text() : withoutBom(bytes);
    char separator = options.separator;
    if (format == ContactFormat::Auto) {
        if (isBlank(text)) {
            sink.refuse(ImportProblem::NoContacts, 0);
            return sink.take(ContactFormat::Auto);
        }
        // A table whose header names our fields is CSV, whatever its cells begin with (a "dn:").
        const TextKind kind = startsWithCsvHeader(probeWindow(text).text(), options.separator)
                                  ? TextKind::Table
                                  : probeText(text);
        switch (kind) {
        case TextKind::VCard: format = ContactFormat::VCard; break;
        case TextKind::Ldif: format = ContactFormat::Ldif; break;
        case TextKind::Table: format = ContactFormat::Csv; break;
        case TextKind::Other:
            separator = contactTableSeparator(probeWindow(text).text(), separator, text.size() <= kProbeSize);
            if (separator != 0) {
                format = ContactFormat::Csv;
                break;
            }
            [[fallthrough]];
        default:
            sink.refuse(ImportProblem::NotAnAddressBook, 0, std::string(kindName(kind)));
            return sink.take(ContactFormat::Auto);
        }
    }
    if (format == ContactFormat::VCard) {
        // Each value is decoded from the charset its card gives.
        readInParts(text, readVCardContacts, vcardPartStart, sink, partsFor(text.size()));
        return sink.take(format);
    }
    if (!input) {
        input = InputText::decode(bytes);
    }
    if (format == ContactFormat::Ldif) {
        readLdifContacts(input->text(), sink);
    } else {
        format = ContactFormat::Csv;
        readCsvContacts(input->text(), CsvOptions{separator}, sink);
    }
    for (const long line : input->windows1252Lines()) {
        sink.windows1252Line(line);
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
    const InputText input = InputText::decode(bytes);
    const std::string_view text = isUtf16(InputText::sniff(bytes)) ? input.text() : withoutBom(bytes);
    if (startsWithCsvHeader(probeWindow(text).text(), 0)) {
        return ContactFormat::Csv;
    }
    switch (probeText(text)) {
    case TextKind::VCard: return ContactFormat::VCard;
    case TextKind::Ldif: return ContactFormat::Ldif;
    default: return ContactFormat::Csv;
    }
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
