#include "exchange/ContactImport.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <functional>
#include <future>
#include <new>
#include <thread>
#include <string>
#include <vector>

#include "exchange/CsvContacts.h"
#include "exchange/CsvHeader.h"
#include "exchange/InputText.h"
#include "exchange/LdifContacts.h"
#include "exchange/TextLines.h"
#include "exchange/VCardContacts.h"
#include "exchange/VCardLines.h"
#include "text/ContactTsv.h"
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

void readTsvContacts(std::string_view bytes, ImportSink& sink) {
    sink.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    TextLines lines(bytes);
    while (!lines.atEnd()) {
        auto parsed = text::parseContactTsv(lines.next());
        if (!parsed.record) {
            switch (parsed.problem) {
            case text::TsvProblem::FieldCount:
                sink.skip(ImportProblem::TsvFieldCount, lines.number(), std::to_string(parsed.number));
                break;
            case text::TsvProblem::UnknownEscape:
                sink.skip(ImportProblem::TsvUnknownEscape, lines.number(), std::to_string(parsed.number));
                break;
            default: sink.skip(ImportProblem::TsvInvalidUtf8, lines.number()); break;
            }
            continue;
        }
        sink.add(std::move(*parsed.record), lines.number());
    }
}

// Large TSV and vCard inputs are read in parts, one thread each, each part
// into a sink of its own, and the sinks then joined in order. Every part but
// the first begins where the reading of the whole would be between two
// contacts, in the state it starts in, so the result is the reading of the
// whole: a TSV part at a line, a vCard part after a line END:VCARD that
// nothing can join to another line.
constexpr std::size_t kLeastPartSize = std::size_t{1} << 20;
constexpr std::size_t kMostParts = 8;

// The first place at or after from (> 0) where a part may begin, or npos.
std::size_t tsvPartStart(std::string_view text, std::size_t from) {
    const std::size_t lf = text.find('\n', from - 1);
    return lf == std::string_view::npos ? lf : lf + 1;
}

std::size_t vcardPartStart(std::string_view text, std::size_t from) {
    constexpr std::string_view kEnd = "\nEND:VCARD";
    for (std::size_t found = text.find(kEnd, from - 1); found != std::string_view::npos;
         found = text.find(kEnd, found + 1)) {
        std::size_t after = found + kEnd.size();
        while (after < text.size() && text[after] == '\r') {
            ++after;
        }
        if (after >= text.size() || text[after] != '\n') {
            continue; // END:VCARD with more on its line, or at the very end
        }
        const std::size_t next = after + 1;
        if (next < text.size() && (text[next] == ' ' || text[next] == '\t')) {
            continue; // the next line would be folded into it
        }
        // The line before must not run into it: a quoted-printable value whose
        // line ends with '=' goes on to the next line, and so may one that
        // ends with '=' before an empty line.
        std::size_t before = found;
        while (before > 0 && text[before - 1] == '\r') {
            --before;
        }
        if (before == 0 || text[before - 1] == '\n' || text[before - 1] == '=') {
            continue;
        }
        return next;
    }
    return std::string_view::npos;
}

using ReadContacts = void (*)(std::string_view text, ImportSink& sink);
using PartStart = std::size_t (*)(std::string_view text, std::size_t from);

void readInParts(std::string_view text, ReadContacts read, PartStart partStart, ImportSink& sink,
                 PackedRecords* packInto) {
    const std::size_t parts = std::clamp<std::size_t>(
        std::min<std::size_t>(std::thread::hardware_concurrency(), text.size() / kLeastPartSize), 1, kMostParts);
    std::vector<std::size_t> starts{0};
    for (std::size_t part = 1; part < parts; ++part) {
        const std::size_t start = partStart(text, std::max(starts.back() + 1, part * (text.size() / parts)));
        if (start >= text.size()) {
            break;
        }
        starts.push_back(start);
    }
    starts.push_back(text.size());
    const auto partOf = [&](std::size_t part) { return text.substr(starts[part], starts[part + 1] - starts[part]); };
    std::vector<PackedRecords> packed(starts.size() - 2);
    std::vector<ImportSink> sinks;
    sinks.reserve(packed.size());
    for (PackedRecords& records : packed) {
        sinks.emplace_back(packInto != nullptr ? &records : nullptr);
    }
    std::vector<std::future<void>> others;
    for (std::size_t part = 1; part + 1 < starts.size(); ++part) {
        others.push_back(std::async(std::launch::async, read, partOf(part), std::ref(sinks[part - 1])));
    }
    std::exception_ptr failure;
    try {
        read(partOf(0), sink);
    } catch (...) {
        failure = std::current_exception();
    }
    for (std::future<void>& other : others) {
        try {
            other.get();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    long lines = 0;
    for (std::size_t part = 1; part + 1 < starts.size(); ++part) {
        const std::string_view before = partOf(part - 1);
        lines += static_cast<long>(std::count(before.begin(), before.end(), '\n'));
        sink.append(std::move(sinks[part - 1]), lines);
    }
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
        readInParts(bytes, readTsvContacts, tsvPartStart, sink, options.packInto);
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
        readInParts(input.text(), readVCardContacts, vcardPartStart, sink, options.packInto);
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
