// Any bytes imported in any format (the first byte chooses it: auto, TSV, CSV,
// vCard or LDIF). Whatever comes in: every text of every contact is UTF-8, no
// site would run code, a refused input gives no contact, and (for CSV, vCard
// and LDIF, whose imports make every contact by the same rules) the contacts
// exported as CSV and imported again come back identical, and so do they
// exported as vCard, up to vCard's one line break (CR written as LF). Packed,
// the contacts are the same; TSV and vCard read in parts, as large inputs are,
// give the same contacts and problems as one reading.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "exchange/ContactImport.h"
#include "exchange/CsvContacts.h"
#include "exchange/ImportParts.h"
#include "exchange/InputText.h"
#include "exchange/TsvContacts.h"
#include "exchange/SiteAddress.h"
#include "exchange/VCardContacts.h"
#include "text/Windows1252.h"

namespace {

using fichelia::Contact;
using fichelia::exchange::ContactFormat;
using fichelia::fuzz::check;
using fichelia::fuzz::shown;

constexpr ContactFormat kFormats[] = {ContactFormat::Auto, ContactFormat::Tsv, ContactFormat::Csv,
                                      ContactFormat::VCard, ContactFormat::Ldif};

// The first contact that differs, or nothing.
std::string difference(const std::vector<Contact>& got, const std::vector<Contact>& expected) {
    if (got.size() != expected.size()) {
        return std::to_string(got.size()) + " contacts back, " + std::to_string(expected.size()) + " exported";
    }
    for (std::size_t i = 0; i < got.size(); ++i) {
        if (got[i] != expected[i]) {
            return "contact " + std::to_string(i) + ": " + shown(got[i]) + " back, " + shown(expected[i]) + " exported";
        }
    }
    return {};
}

void checkReimport(std::string_view exported, ContactFormat format, const std::vector<Contact>& expected,
                   std::string_view property) {
    const auto again = fichelia::exchange::importContacts(exported, format);
    check(again.whole(), property, [&] { return "refused or skipped:\n" + shown(exported); });
    check(again.records == expected, property, [&] { return difference(again.records, expected); });
}

fichelia::exchange::ImportReport readIn(std::size_t parts, std::string_view text, ContactFormat format) {
    using namespace fichelia::exchange;
    ImportSink sink;
    if (format == ContactFormat::Tsv) {
        readInParts(text, readTsvContacts, tsvPartStart, sink, parts);
    } else {
        readInParts(text, readVCardContacts, vcardPartStart, sink, parts);
    }
    return sink.take(format);
}

void checkParts(std::string_view bytes, ContactFormat format) {
    const fichelia::exchange::InputText input = fichelia::exchange::InputText::decode(bytes);
    const std::string_view text = format == ContactFormat::Tsv ? bytes : input.text();
    const auto whole = readIn(1, text, format);
    for (const std::size_t parts : {2, 3, 7}) {
        const auto inParts = readIn(parts, text, format);
        check(inParts.records == whole.records && inParts.skipped == whole.skipped &&
                  inParts.refusal == whole.refusal && inParts.leftOutSites == whole.leftOutSites &&
                  inParts.leftOut == whole.leftOut && inParts.standIns == whole.standIns,
              "read in parts, the same reading", [&] { return std::to_string(parts) + " parts"; });
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const ContactFormat format = kFormats[data[0] % std::size(kFormats)];
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const auto report = fichelia::exchange::importContacts(bytes, format);

    check(!report.refusal || report.records.empty(), "a refused input gives no contact");
    for (const Contact& contact : report.records) {
        for (const fichelia::RecordField& field : fichelia::kRecordFields) {
            check(fichelia::text::isValidUtf8(contact.*field.text), "every text is UTF-8",
                  [&] { return shown(contact); });
        }
        check(!fichelia::exchange::isScriptSiteAddress(contact.site), "no site runs code",
              [&] { return shown(contact.site); });
    }
    fichelia::PackedRecords packed;
    const auto packedReport = fichelia::exchange::importContacts(bytes, {format, 0, &packed});
    check(packed.size() == report.records.size() && packedReport.skipped == report.skipped,
          "packed, the same contacts");
    for (std::size_t i = 0; i < packed.size(); ++i) {
        const fichelia::RecordTexts texts = packed.at(i);
        for (std::size_t field = 0; field < fichelia::kFieldCount; ++field) {
            check(texts[field] == report.records[i].*fichelia::kRecordFields[field].text, "packed, the same contacts",
                  [&] { return shown(report.records[i]); });
        }
    }
    if (!report.refusal && (report.format == ContactFormat::Tsv || report.format == ContactFormat::VCard)) {
        checkParts(bytes, report.format);
    }
    if (report.format == ContactFormat::Tsv || report.records.empty()) {
        return 0; // TSV takes texts exactly as given, line breaks and all
    }

    std::string csv = "\xEF\xBB\xBF"; // as read --to csv writes it
    fichelia::exchange::appendCsvHeader(csv, ';');
    std::string vcard;
    std::vector<Contact> vcardExpected = report.records;
    for (std::size_t i = 0; i < report.records.size(); ++i) {
        fichelia::exchange::appendCsvContact(csv, report.records[i], ';');
        fichelia::exchange::appendVCard(vcard, report.records[i]);
        for (const fichelia::RecordField& field : fichelia::kRecordFields) {
            std::string& text = vcardExpected[i].*field.text;
            std::string lineFeeds; // CR LF and CR as LF
            for (std::size_t c = 0; c < text.size(); ++c) {
                lineFeeds += text[c] == '\r' ? '\n' : text[c];
                c += text[c] == '\r' && c + 1 < text.size() && text[c + 1] == '\n' ? 1 : 0;
            }
            text = std::move(lineFeeds);
        }
    }
    checkReimport(csv, ContactFormat::Auto, report.records, "a CSV export reads back identical");
    checkReimport(vcard, ContactFormat::Auto, vcardExpected, "a vCard export reads back identical");
    return 0;
}
