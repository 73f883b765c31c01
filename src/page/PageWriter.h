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

// The bytes a page is written in. The page names no character set, so a
// browser reads it as the web server announces it: Windows-1252 is what the
// page has always been; Ascii is the same page with every byte below 0x80, for
// servers that announce UTF-8, where a Windows-1252 "é" shows as a
// replacement character. In it, characters beyond ASCII are the script's
// \uXXXX inside script strings (contacts' texts and the alerts) and HTML's
// &#NNN; elsewhere ("T&#233;l."). Both read back to the same contacts.
enum class PageBytes { Windows1252, Ascii };

// The directory page for the list: LF line breaks, one record line per entry in
// list order, with nothing that changes from call to call. publisherAddress
// goes into the footer link as it is given.
std::string BuildDirectoryPage(const fichelia::DirectoryList& list,
                               std::string_view publisherAddress = kPublisherAddress,
                               PageBytes bytes = PageBytes::Windows1252);

// The same page for records in the order of order (see listOrder): the
// record of the page's first line is records[order[0]].
std::string BuildDirectoryPage(const std::vector<Contact>& records, const std::vector<std::uint32_t>& order,
                               std::string_view publisherAddress = kPublisherAddress,
                               PageBytes bytes = PageBytes::Windows1252);

// The same page again, handed to write in pieces of some 64 kB as it is made,
// so that it is never whole in memory; write returns false to stop, and then
// so does this. The record lines are made on two threads, or on this one
// when the system gives no thread. Throws std::bad_alloc when memory runs
// out, TooManyRecords for more than 2^31 - 1 records.
bool WriteDirectoryPage(const std::vector<Contact>& records, const std::vector<std::uint32_t>& order,
                        std::string_view publisherAddress, PageBytes bytes,
                        const std::function<bool(std::string_view)>& write);
bool WriteDirectoryPage(const PackedRecords& records, const std::vector<std::uint32_t>& order,
                        std::string_view publisherAddress, PageBytes bytes,
                        const std::function<bool(std::string_view)>& write);

namespace page {

// The record line of one contact, LF included:
//   remplirTabFournisseur(<index>,"name","address","phone","mobile","fax","mail","comment","site");
// comment stands before site because that is the parameter order of the
// page's remplirTabFournisseur, and pages in use rely on it.
void appendRecordLine(std::string& page, int index, const Contact& record, PageBytes bytes = PageBytes::Windows1252);
void appendRecordLine(std::string& page, int index, const RecordTexts& record, PageBytes bytes);

// A record's texts as views, in record order.
RecordTexts textsOf(const Contact& record);

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
// with capital hexadecimal digits. Nothing else changes. In an Ascii page
// every character beyond ASCII is written as \uXXXX.
void appendScriptValue(std::string& page, std::string_view utf8Text, PageBytes bytes = PageBytes::Windows1252);

// A fixed piece of the page as an Ascii page has it: each Windows-1252 byte
// beyond ASCII as \uXXXX inside the script, as &#NNN; in the HTML. inScript
// says where the piece begins, and is left where it ends.
std::string asciiPiece(std::string_view windows1252, bool& inScript);

} // namespace page

} // namespace fichelia
