#pragma once

#include <string>
#include <string_view>

#include "directory/annuaire.h"
#include "exchange/ImportResult.h"

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

// Reads contacts from UTF-8 text. A first row whose cells name fields (see
// recognizeCsvHeader) says what each column holds; without one, columns are in
// the record's order. A name split in columns becomes "first middle last"
// unless a display-name column gives it whole; without any name, the company
// stands for it. An address split in columns is written as French addresses
// are. Where several columns feed one field, the first that holds a value wins;
// the others' values, and those of columns with no field, are counted as left
// out. Blank lines are skipped. A quote never closed, or a stray
// character after a closing quote, refuses the input.
ImportResult readCsvContacts(std::string_view text, const CsvOptions& options = {});

// The header row of our own export: the record's French field names.
void appendCsvHeader(std::string& out, char separator);
// One contact as a row, fields quoted only where they must be, ended by CR LF.
void appendCsvContact(std::string& out, const annuaire& contact, char separator);

} // namespace fichelia::exchange
