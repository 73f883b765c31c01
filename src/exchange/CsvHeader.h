#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "directory/Contact.h"

namespace fichelia::exchange {

// What a column of a contact spreadsheet holds, as its header names it.
enum class CsvColumn : std::uint8_t {
    Unknown, // a value with no field here: left out, and counted
    Silent,  // describes another column (a label, a type) or holds a program's default
    Date,    // as Unknown, but Outlook's empty dates (0/0/00, 00/00/00) are empty
    DisplayName,
    FirstName,
    MiddleName,
    LastName,
    Organization,
    FullAddress,
    Street,
    PostalCode,
    Locality,
    Region,
    Country,
    Field,         // a value for the field the role names (phone, mobile, fax, mail, site, comment)
    FallbackPhone, // a pager or an "other" number: the telephone only when no other is given
    PhoneValue,    // a number whose kind its PhoneLabel column of the same group tells
    PhoneLabel,
};

// The groups of the numbered columns of Google Contacts ("Phone 2 - Value")
// start here.
inline constexpr int kNumberedGroupBase = 100;

struct CsvColumnRole {
    CsvColumn column = CsvColumn::Unknown;
    // Columns of one address (business, home ...) or of one numbered phone
    // share a group; 0 is no group.
    int group = 0;
    RecordText field = nullptr; // CsvColumn::Field
};

// The roles of a first row's cells, or nothing when the row is no header (it
// is then a contact): a header names a field of the record in most of its
// non-empty cells, or in some of them while none looks like a value (an
// address with '@' or "://", a cell mostly of digits). Names are recognised
// on folded words (letter case, accents, spaces, '_' and '-' aside): our own
// French captions, the column names of the exports of the common mail and
// contact programs, and one table of words per field in French, English,
// German, Spanish, Italian, Dutch, Portuguese and Japanese. "Nom", "Name" and
// "Naam" are the contact's name, except beside a first-name column, where
// they are the family name (as in French, German and Dutch exports).
std::optional<std::vector<CsvColumnRole>> recognizeCsvHeader(const std::vector<std::string>& cells);

// What a phone label names ("Mobile", "Work Fax", "Pager" ...): the field of
// that kind of number, mobile, fax or phone, as a Field or a FallbackPhone role.
CsvColumnRole phoneKindOfLabel(std::string_view label);

} // namespace fichelia::exchange
