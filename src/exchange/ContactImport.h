#pragma once

#include <optional>
#include <string_view>

#include "exchange/ImportResult.h"

// One entry to every format contacts come in by.
namespace fichelia::exchange {

enum class ContactFormat { Auto, Tsv, Csv, VCard, Ldif };

// "auto", "tsv", "csv", "vcard" or "ldif"; nothing for another name.
std::optional<ContactFormat> contactFormatNamed(std::string_view name);

// The format of a file's text (UTF-8) by its content: vCard when it begins with
// BEGIN:VCARD, LDIF when its first line that is not a comment begins with dn:
// or version:, TSV when its first line is ours (eight UTF-8 fields between TABs,
// not a header row), else CSV.
ContactFormat detectContactFormat(std::string_view bytes);

struct ImportOptions {
    ContactFormat format = ContactFormat::Auto;
    char separator = 0; // CSV only; 0 to find it
};

// The contacts of a file's bytes, in file order. TSV must be UTF-8 as it
// always was; the other formats may be in any encoding InputText knows.
ImportResult importContacts(std::string_view bytes, const ImportOptions& options = {});

// Contacts in our TSV (see ContactTsv.h), one a line, CR LF taken as LF.
ImportResult readTsvContacts(std::string_view bytes);

} // namespace fichelia::exchange
