#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "directory/Contact.h"
#include "page/ByteSource.h"

namespace fichelia {

// Receives each record the moment its line is read. The receiver may take the
// record's texts (move from it) to keep them; the record itself is the reader's
// again once the call returns, so nothing may refer to it after that.
using RecordReceiver = std::function<void(Contact&&)>;

// Reads the contacts of a directory page back into records.
//
// What it reads: the bytes of the source, with every CR removed wherever it
// stands and the data ending at the first Ctrl-Z (0x1A). A line runs up to its
// LF; the last line of the data counts even without one. A NUL byte hides the
// rest of its line. Lines are read whole, whatever their length.
//
// A record line is a line that begins, at its very first byte, with
// "remplirTabFournisseur(" (exact bytes, case-sensitive). Each one gives exactly
// one record, handed to the receiver before the next line is read; every other
// line is ignored. Nothing else of the page is looked at: not the HTML, not the
// declared contact count, not the record indices.
//
// No content makes it fail: a malformed line still gives a record (see
// ParseDirectoryLine). It ends early only when the source cannot be read (the
// source's error is returned) or memory runs out, in the reader or in the
// receiver (a std::bad_alloc it throws gives Error::OutOfMemory); the line
// under way is then dropped, and the records handed over until then stay with
// the receiver. Nothing else is thrown.
//
// Memory stays bounded by the longest record line; other lines are skipped
// without being held.
Result<void> ReadDirectoryPage(ByteSource& source, const Contact& templateRecord, const RecordReceiver& receiver);

// The record of one line (without CRs, cut at its first NUL), or nothing when
// the line is not a record line.
//
// The record starts as a copy of the template. Everything up to the line's
// first double quote is skipped; then each value runs to the next double quote
// and the three bytes after it (quote, comma, quote) are passed over. Values go,
// in this order, to name, address, phone, mobile, fax, mail, comment, site; the
// pass that finds no further quote sets its field to empty, fields after it
// keep the template's texts, and values beyond the eighth are dropped.
//
// Each value is decoded from Windows-1252 to UTF-8 and the writer's escapes are
// undone: \\ \/ \xHH \uXXXX (a UTF-16 pair as one character). Any other
// backslash, and half a UTF-16 pair on its own, stay as they stand, so pages
// written without escapes read as they always did.
std::optional<Contact> ParseDirectoryLine(std::string_view line, const Contact& templateRecord);

namespace page {

inline constexpr std::string_view kRecordMarker = "remplirTabFournisseur(";

// One value of a record line, its escapes undone, as UTF-8.
std::string decodeScriptValue(std::string_view value);

} // namespace page

} // namespace fichelia
