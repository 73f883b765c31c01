#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "directory/DirectoryList.h"

namespace fichelia {

// The publisher's page, linked from the page's footer and opened by the logo.
inline constexpr std::string_view kPublisherAddress = "https://fichelia.example/";

// The directory page for the list: Windows-1252 bytes, LF line breaks, one record
// line per entry in list order, with nothing that changes from call to call.
// publisherAddress goes into the footer link as it is given.
std::string BuildDirectoryPage(const fichelia::DirectoryList& list,
                               std::string_view publisherAddress = kPublisherAddress);

// The same page for records in the order of order (see listOrder): the
// record of the page's first line is records[order[0]].
std::string BuildDirectoryPage(const std::vector<annuaire>& records, const std::vector<std::uint32_t>& order,
                               std::string_view publisherAddress = kPublisherAddress);

// The same page again, handed to write in pieces of some 64 kB as it is made,
// so that it is never whole in memory; write returns false to stop, and then
// so does this.
bool WriteDirectoryPage(const std::vector<annuaire>& records, const std::vector<std::uint32_t>& order,
                        std::string_view publisherAddress, const std::function<bool(std::string_view)>& write);

namespace page {

// The record line of one contact, LF included:
//   remplirTabFournisseur(<index>,"nom","adresse","tel","gsm","fax","mail","commentaire","site");
// commentaire stands before site because that is the parameter order of the
// page's remplirTabFournisseur, and pages in use rely on it.
void appendRecordLine(std::string& page, int index, const annuaire& record);

// One text of a record line, without its enclosing quotes. Windows-1252
// characters are written as their bytes. So that the page's script stays valid
// and every value reads back whole, these cases are escaped the way the
// script's string literals understand:
//   \           as \\    (else it would start an escape)
//   "           as \x22  (else it would end the value)
//   the / of </ as \/    (else "</script" would end the script)
//   the < of <! as \x3C  (else "<!--<script>" would keep the browser from
//                        seeing the end of the script)
//   a control character other than TAB (U+0000-U+001F, U+007F) as \xHH
//   a character outside Windows-1252 as \uXXXX, two of them (a UTF-16 pair)
//     beyond U+FFFF; malformed UTF-8 is written as \uFFFD
// with capital hexadecimal digits. Nothing else changes.
void appendScriptValue(std::string& page, std::string_view utf8Text);

} // namespace page

} // namespace fichelia
