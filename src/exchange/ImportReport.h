#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "directory/Contact.h"

// What an import of contacts gives back: the contacts, and every problem met
// as a value (a kind, a line, a detail that is a name from the file, never a
// sentence). Only the edge puts it into words: the companion tool in French on
// standard error, the window in its own boxes.
//
// This is the public face of the importers (with importContacts in
// ContactImport.h), used by the tool and the window alike: keep it stable.
// New kinds may be added at the end of the enumerations; what is there keeps
// its meaning.
namespace fichelia::exchange {

enum class ContactFormat { Auto, Tsv, Csv, VCard, Ldif };

// Why a card, row, entry or line was skipped, or the whole input refused.
enum class ImportProblem : std::uint8_t {
    // One card, row, entry or line left out; the rest is imported.
    TsvFieldCount,         // detail: the number of fields found instead of 8
    TsvInvalidUtf8,        // the line is not UTF-8
    TsvUnknownEscape,      // detail: the field's number, from 1
    CsvMisplacedQuote,     // a quoted field not followed by the separator or the line end
    VCardLineWithoutColon, // the line alone is skipped, the card kept
    VCardUnclosed,         // a card without END:VCARD (line: its BEGIN)
    VCardOutsideCard,      // a line outside BEGIN:VCARD ... END:VCARD (detail: its property name)
    VCardNotACard,         // BEGIN or END of something else (detail: what)
    BadQuotedPrintable,    // detail: the property; in a card, only that value is left out
    BadBase64,             // detail: the property or attribute; as above (an LDIF entry is skipped)
    UnknownCharset,        // detail: the charset's name; in a card, only that value is left out
    LdifLineWithoutColon,
    LdifStrayContinuation, // a line beginning with a space, with nothing to continue
    LdifEntryWithoutDn,
    // The whole input refused: nothing of it is used.
    CsvUnclosedQuote, // line: where the quoted field began; it runs to the end of the file
    UnknownHeader,    // a first row that names no field we know; detail: its cells, TAB between them
    OtherFileKind,    // detail: PDF, ZIP, OLE2, PNG, JPEG, GIF, WEBP, TIFF, GZIP, HTML
    BinaryData,       // NUL bytes where text was expected (line: the first)
    NothingUsable,    // every card, row or entry was skipped
    OutOfMemory,
    // Added later; whether they refuse the whole input is as refusesWholeInput says.
    NotAnAddressBook, // refused: detail: ICALENDAR, XML or LDAPSCHEMA, or empty for any other text
    NoContacts,       // refused: the input holds nothing at all (empty, blank, or a CSV header alone)
    NoName,           // a card, row or entry with no name and nothing to stand in for one
    PageLineDamaged,  // a record line of a directory page that does not end as the page writes it
};

// True for the kinds that refuse the whole input (CsvUnclosedQuote to OutOfMemory).
bool refusesWholeInput(ImportProblem problem);

struct ImportIssue {
    ImportProblem problem = ImportProblem::NothingUsable;
    long line = 0;      // from 1, in the input as given; 0 when no line applies
    std::string detail; // see ImportProblem; empty where nothing is said there

    bool operator==(const ImportIssue&) const = default;
};

// Where a value that was left out came from.
// LdifEntry: a whole entry that is no person (an organizational unit, a
// group); its name is the entry's object class, the most specific given.
enum class ValueSource : std::uint8_t { VCardProperty, LdifAttribute, CsvColumn, LdifEntry };

// How many values of one kind found no room in the record. A kind is where the
// values came from and, when they lost to another value of the field they
// would have filled (a second mobile), that field.
struct LeftOut {
    ValueSource source = ValueSource::VCardProperty;
    std::string name;           // the property (upper case), attribute or column as the file names it;
                                // empty for a column of a file without a header row
    int column = 0;             // CSV: the column's number, from 1 (the first of that name)
    RecordText field = nullptr; // the field it lost; null when no field takes such values
    long count = 0;

    bool operator==(const LeftOut&) const = default;
};

// A site address left out because a browser sent to it would run code.
struct LeftOutSite {
    long line = 0;
    std::string address; // as the file gave it

    bool operator==(const LeftOutSite&) const = default;
};

// What stands for the name of a contact that has none.
enum class NameStandIn : std::uint8_t { Company, Mail, Phone };

struct StandInName {
    long line = 0; // where the card, row or entry begins
    NameStandIn from = NameStandIn::Company;

    bool operator==(const StandInName&) const = default;
};

// When the input is refused, only skipped (what led to NothingUsable) and the
// refusal are filled in.
struct ImportReport {
    ContactFormat format = ContactFormat::Auto; // the format read: the one found when Auto was asked
                                                // (Auto still when the bytes were refused before)
    std::vector<Contact> records;               // in input order
    std::vector<ImportIssue> skipped;           // what was left out whole, in input order
    std::optional<ImportIssue> refusal;         // the whole input refused
    std::vector<LeftOutSite> leftOutSites;
    std::vector<LeftOut> leftOut; // kinds in the order they were first met
    std::vector<StandInName> standIns;
    // The lines of a UTF-8 file that were not UTF-8 and were read as
    // Windows-1252 (a file wholly in Windows-1252 lists none).
    std::vector<long> windows1252Lines;

    // Nothing skipped, nothing refused (values may still have been left out).
    bool whole() const { return !refusal && skipped.empty(); }
};

} // namespace fichelia::exchange
