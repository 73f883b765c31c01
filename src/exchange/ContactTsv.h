#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "directory/Contact.h"

// Contacts as tab-separated text, one contact a line: the eight fields in the
// record's order (name, address, phone, mobile, fax, mail, site, comment), UTF-8.
// Inside a field \t, \n, \r and \\ stand for TAB, LF, CR and a backslash; no
// other backslash is allowed.
namespace fichelia::exchange {

enum class TsvProblem { None, FieldCount, InvalidUtf8, UnknownEscape };

struct ContactTsvResult {
    std::optional<Contact> record;
    TsvProblem problem = TsvProblem::None; // set when record is empty
    std::size_t number = 0;                // FieldCount: the fields found; UnknownEscape: the field, from 1
};

// Parses one line (without its LF). Refuses a line that has not exactly eight
// fields, is not well-formed UTF-8 or holds an unknown escape.
ContactTsvResult parseContactTsv(std::string_view line);

// The line for a record, without a LF.
std::string formatContactTsv(const Contact& record);
// The same line, appended to out.
void appendContactTsv(std::string& out, const Contact& record);

} // namespace fichelia::exchange
