#pragma once

#include <optional>
#include <string_view>

#include "directory/PackedRecords.h"
#include "exchange/ImportReport.h"

// One entry to every format contacts come in by. This header and
// ImportReport.h are the importers' public API, used by the companion tool and
// by the window: keep them stable.
namespace fichelia::exchange {

// "auto", "tsv", "csv", "vcard" or "ldif"; nothing for another name.
std::optional<ContactFormat> contactFormatNamed(std::string_view name);

struct ImportOptions {
    ContactFormat format = ContactFormat::Auto;
    char separator = 0; // CSV only: ',', ';' or TAB; 0 to find it from the first line
    // When set, the contacts go there, packed, and the report's records stay
    // empty: for a whole book read once, in a third of the memory. It should
    // be empty; a refused input leaves it empty.
    PackedRecords* packInto = nullptr;
};

// The contacts of a file's bytes, in file order, and all that was met on the
// way (see ImportReport). Never throws for any content; memory running out
// gives a refusal (OutOfMemory).
//
// First the bytes are looked at: a well-known other kind of file (PDF, ZIP
// and the office documents built on it, old Office documents, images, gzip, an
// HTML page) is refused by name (OtherFileKind), and so is text holding NUL
// bytes (BinaryData), unless it is UTF-16. With Auto, the format is then found
// from the content:
//  - TSV when the first line is ours (eight UTF-8 fields between TABs, not a
//    header row, no byte order mark before it);
//  - else, from the first 64 kB of the text (UTF-16 decoded first): vCard
//    when a line there begins with BEGIN:VCARD (or the first line is a
//    vCard's VERSION:); iCalendar (BEGIN:VCALENDAR first), an LDAP schema
//    (attribute type or object class definitions) and XML (a text beginning
//    with '<') are refused by name (NotAnAddressBook); LDIF when a line
//    begins with dn:; CSV when the text reads as a table of contacts (see
//    looksLikeContactTable); any other text is refused (NotAnAddressBook,
//    no detail), and so is a blank one (NoContacts).
// A vCard is read from its bytes, each value decoded from the charset it or
// its card names; CSV and LDIF from the text decoded once (see InputText:
// byte order marks, UTF-16 with or without one, UTF-8, else Windows-1252 line
// by line). TSV must be UTF-8, as it always was. A card, row or entry that
// cannot be read is skipped and reported; when nothing usable remains, the
// input is refused (NothingUsable, or NoContacts when nothing was there; an
// empty TSV asked for by name gives an empty report), and a refused input
// gives no records. TSV and vCard of 2 MB or more are read in parts on
// several threads, with the same result (see ImportParts.h).
ImportReport importContacts(std::string_view bytes, const ImportOptions& options = {});
inline ImportReport importContacts(std::string_view bytes, ContactFormat format) {
    return importContacts(bytes, ImportOptions{format, 0});
}

// The format Auto finds for these bytes (never Auto).
ContactFormat detectContactFormat(std::string_view bytes);

} // namespace fichelia::exchange
