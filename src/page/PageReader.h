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

// Receives the number of each damaged record line (see ParseDirectoryLine),
// counted from 1 in the file, the moment that line has been read.
using DamagedLineReceiver = std::function<void(long line)>;

// What a reading found besides the records.
struct PageReading {
    // The data holds the record marker somewhere (every page written has it in
    // its first line): the file is a directory page, even one of no contacts.
    bool isPage = false;
    long damagedLines = 0;     // record lines that could not be read
    long firstDamagedLine = 0; // the first of them, from 1; 0 when there is none
};

// Reads the contacts of a directory page back into records.
//
// What it reads: the bytes of the source, with every CR removed wherever it
// stands and the data ending at the first Ctrl-Z (0x1A). A line runs up to its
// LF; the last line of the data counts even without one. A NUL byte hides the
// rest of its line. Lines are counted from 1 by their LFs, and read whole,
// whatever their length.
//
// A record line is a line that begins, at its very first byte, with
// "remplirTabFournisseur(" (exact bytes, case-sensitive). A record line that
// ends in an odd run of backslashes (a value continued, as a script's line
// continuation does) goes on into the next line, LF included, unless that line
// is a record line itself or a NUL hid the end of the line before.
// Each record line gives either one record, handed to the receiver before the
// next line is read, or a damaged line, handed to damaged (when given) and
// counted; every other line is ignored. Nothing else of the page is looked at:
// not the HTML, not the declared contact count, not the record indices.
//
// No content makes it fail, and no record is made up: a record comes only from
// a whole record line, never from anything else. It ends early only when the
// source cannot be read (the source's error is returned) or memory runs out, in
// the reader or in a receiver (a std::bad_alloc it throws gives
// Error::OutOfMemory); the line under way is then dropped, and the records
// handed over until then stay with the receiver. Nothing else is thrown.
//
// Memory stays bounded by the longest record line; other lines are skipped
// without being held.
Result<PageReading> ReadDirectoryPage(ByteSource& source, const RecordReceiver& receiver,
                                      const DamagedLineReceiver& damaged = {});

enum class LineKind {
    Other,   // not a record line
    Record,  // a record line, read whole
    Damaged, // a record line that could not be read: record is left empty
};

// Reads one record line (without CRs, cut at its first NUL; LFs only where a
// backslash continues a value) into record, which starts empty.
//
// A record line reads as the page's script reads it, and only when it ends as
// the writer ends it: after the marker, an index of decimal digits, then eight
// string literals between double (or single) quotes, all separated by commas,
// then ");" and the end of the line, with spaces and TABs allowed between
// them. Anything else is damaged: a line cut short, a value never closed, fewer
// or more than eight values, anything between or after them (a "+ alert(1)").
// Values go, in this order, to name, address, phone, mobile, fax, mail,
// comment, site.
//
// Each value is decoded from Windows-1252 to UTF-8, and every escape of a
// script string is undone as a browser undoes it: \" \' \\ \n \r \t \b \f \v,
// \0 and the old octal escapes (\101), \xHH, \uXXXX (a UTF-16 pair as one
// character, half a pair as U+FFFD), \u{X...} up to 10FFFF, a backslash before
// a line break (nothing), and a backslash before any other character (that
// character: \/ is /). A malformed \x or \u escape, which the browser refuses,
// makes the line damaged.
LineKind ParseDirectoryLine(std::string_view line, Contact& record);

namespace page {

inline constexpr std::string_view kRecordMarker = "remplirTabFournisseur(";

} // namespace page

} // namespace fichelia
