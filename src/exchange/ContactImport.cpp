#include "exchange/ContactImport.h"

#include <algorithm>
#include <array>
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

std::string_view firstLine(std::string_view text) {
    std::string_view line = text.substr(0, text.find('\n'));
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && vcard::isProperty(text.substr(0, prefix.size()), prefix);
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
    constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        const InputText input = InputText::decode(bytes);
        const ContactFormat format = detectContactFormat(input.text());
        return format == ContactFormat::Tsv ? ContactFormat::Csv : format; // TSV is UTF-8
    }
    // The words looked for are ASCII: the bytes tell, whatever their encoding.
    const bool marked = bytes.starts_with(kUtf8Bom);
    std::string_view text = marked ? bytes.substr(kUtf8Bom.size()) : bytes;
    text.remove_prefix(std::min(text.find_first_not_of(" \t\r\n"), text.size()));
    if (startsWithIgnoringCase(text, "BEGIN:VCARD")) {
        return ContactFormat::VCard;
    }
    while (!text.empty() && text.front() == '#') { // LDIF comments
        const std::size_t lf = text.find('\n');
        text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
        text.remove_prefix(std::min(text.find_first_not_of(" \t\r\n"), text.size()));
    }
    if (startsWithIgnoringCase(text, "dn:") || startsWithIgnoringCase(text, "version:")) {
        return ContactFormat::Ldif;
    }
    return !marked && isOurTsvLine(firstLine(bytes)) ? ContactFormat::Tsv : ContactFormat::Csv;
}

ImportResult readTsvContacts(std::string_view bytes) {
    ImportSink sink;
    sink.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    TextLines lines(bytes);
    while (!lines.atEnd()) {
        auto parsed = text::parseContactTsv(lines.next());
        if (!parsed.record) {
            sink.fail(lines.number(), std::move(parsed.error));
            break;
        }
        sink.add(std::move(*parsed.record), lines.number());
    }
    return sink.take();
}

ImportResult importContacts(std::string_view bytes, const ImportOptions& options) {
    const ContactFormat format =
        options.format == ContactFormat::Auto ? detectContactFormat(bytes) : options.format;
    if (format == ContactFormat::Tsv) {
        return readTsvContacts(bytes);
    }
    const InputText input = InputText::decode(bytes);
    switch (format) {
    case ContactFormat::VCard: return readVCardContacts(input.text());
    case ContactFormat::Ldif: return readLdifContacts(input.text());
    default: return readCsvContacts(input.text(), CsvOptions{options.separator});
    }
}

} // namespace fichelia::exchange
