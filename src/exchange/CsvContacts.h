#pragma once

#include <string>
#include <string_view>

#include "directory/Contact.h"
#include "exchange/ImportSink.h"

// Contacts as spreadsheets and mail programs export them in CSV (RFC 4180:
// fields holding the separator, a quote or a line break are quoted, a quote
// inside doubled; CR LF or LF between rows).
namespace fichelia::exchange {

struct CsvOptions {
    // ',', ';' or TAB; 0 to find it from the first line.
    char separator = 0;
};

// The separator the first line uses most outside quotes: ';', TAB or ','
// (',' when it holds none of them).
char findCsvSeparator(std::string_view text);

// True when the first line of a text is a header row naming fields (see
// recognizeCsvHeader): a table of contacts, whatever its cells hold below.
bool startsWithCsvHeader(std::string_view text, char separator);

// True when the beginning of a text reads as a table of contacts: its first
// row is a header naming fields we know (see recognizeCsvHeader), or its rows
// hold a steady number of separators, one at least (three rows in four the
// same number). separator: 0 to find it. whole: the text is the whole input,
// so that its last row ends with it; else a row cut at the end is not counted.
bool looksLikeContactTable(std::string_view text, char separator, bool whole);
// The separator by which the text reads as a table of contacts: the one
// given, else that of the first line, else ';', TAB or ','; 0 when none does.
char contactTableSeparator(std::string_view text, char separator, bool whole);

// Reads contacts from UTF-8 text, by the rules of ContactBuilder. A first
// row whose cells name fields (see recognizeCsvHeader) says what each column
// holds; without one, columns are in the record's order. A first row that
// reads as a header (three cells or more, none empty, none holding a digit,
// '@' or ':') but names no known field refuses the
// input, unless the second row reads the same way. A name split in columns
// becomes "first middle last" unless a display-name column gives it whole. An
// address split in columns is written as French addresses are. Where several
// columns feed one field, the first that holds a value wins (a pager or an
// "other" number only when no other number is given); the others' values,
// those of columns with no field, and the values after the first of Google's
// "a ::: b", are counted as left out. Outlook's empty dates (0/0/00) in date
// columns are empty. A cell beginning with an apostrophe followed by what a
// spreadsheet takes for a formula (see appendCsvContact) loses the
// apostrophe. Blank lines are skipped. A row with a stray character after a
// closing quote is skipped and reported; a quote never closed refuses the
// input, since the rest of the file is then one field.
void readCsvContacts(std::string_view text, const CsvOptions& options, ImportSink& sink);
ImportReport readCsvContacts(std::string_view text, const CsvOptions& options = {});

// The header row of our own export: the record's French field names.
void appendCsvHeader(std::string& out, char separator);
// One contact as a row, fields quoted only where they must be, ended by CR LF.
// A field that a spreadsheet would run as a formula (beginning, after any
// apostrophes, with =, +, -, @, TAB or CR) is written after an apostrophe,
// which the import takes off again.
void appendCsvContact(std::string& out, const Contact& contact, char separator);

} // namespace fichelia::exchange
