#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/TextLines.h"

// The content lines of vCard 2.1, 3.0 and 4.0 text, as phones and mail
// programs write them: [group.]NAME[;parameters]:value.
namespace fichelia::exchange::vcard {

// One content line, unfolded. Its views stay valid until the next line is read.
struct ContentLine {
    long line = 0;          // where it begins, from 1
    std::string_view name;  // without its group prefix ("item1.URL" gives "URL"), as written
    std::string_view params; // what stands between the name and the colon, without the first ';'
    std::string_view value; // still encoded and escaped
    bool hasColon = true;   // false: a line without a colon; name, params and value are empty
};

// Gives the content lines of a text one by one. A line beginning with a space
// or a TAB continues the one before (the line break and that one character are
// dropped); a quoted-printable value ending in '=' goes on at the next line.
// Leniently, as phones and mail programs write them, a line without a colon
// also continues the one before when that one is a base64 value (its lines
// not indented: joined), a quoted-printable value (joined by a line break,
// =0D=0A) or a value ending in a lone backslash (joined by \n). Blank lines and
// comment lines ('#' first) are skipped.
class ContentLineReader {
public:
    explicit ContentLineReader(std::string_view text) : m_lines(text) {}

    // Nothing at the end of the text.
    std::optional<ContentLine> next();

    // The text after the line next() gave last.
    std::string_view rest() const { return m_lines.rest(); }

private:
    TextLines m_lines;
    std::string m_unfolded; // the line under way, when it had to be joined
};

enum class Encoding { Plain, QuotedPrintable, Base64 };

// The parameters that matter here, in every form the three versions use:
// TYPE=cell,pref; TYPE=cell;TYPE=pref; bare CELL;PREF (2.1); PREF=1 (4.0);
// ENCODING=QUOTED-PRINTABLE, BASE64 or b; CHARSET=...
struct Parameters {
    bool cell = false;
    bool fax = false;
    bool voice = false;    // voice, work, home or main
    bool fallback = false; // pager, other, text, textphone, video, msg, bbs, modem: a number people rarely call
    int pref = 0; // 0: not preferred; else its rank, 1 the most preferred
    bool uri = false; // VALUE=uri: a TEL given as a tel: address
    Encoding encoding = Encoding::Plain;
    std::string_view charset;
};

Parameters parseParameters(std::string_view params);

enum class DecodeProblem { None, BadQuotedPrintable, BadBase64, UnknownCharset };

// The value's text as UTF-8: quoted-printable or base64 undone, then decoded
// from its CHARSET (UTF-8 when it names none, or Windows-1252 when the bytes
// are not UTF-8). A value without an encoding is taken as it stands: it is
// part of the text, which is UTF-8 already. vCard escapes are left in.
// Nothing, and problem set, when the encoding is broken or the charset unknown.
std::optional<std::string> decodeValue(std::string_view value, const Parameters& parameters, DecodeProblem& problem);

// A value written as raw bytes, as UTF-8: kept when it is UTF-8, else read
// in charset (Windows-1252 when it names none, or UTF-8). Nothing, and problem
// set, when the charset is unknown.
std::optional<std::string> decodeRawValue(std::string_view value, std::string_view charset, DecodeProblem& problem);

// A text value with its escapes undone: \n and \N give a line break; \, \; \:
// \\ and Gmail's \" give that character; a backslash before any other
// character is one the value holds (vCard 2.1 escapes only \;) and stays, as
// does one at the end.
std::string unescapeText(std::string_view value);

// The components of a structured value (N, ADR, ORG), split at every ';' that
// no backslash escapes, each unescaped.
std::vector<std::string> splitComponents(std::string_view value);

// True when name is the property name given, whatever the letter case.
bool isProperty(std::string_view name, std::string_view property);

} // namespace fichelia::exchange::vcard
