#pragma once

#include <string>
#include <string_view>

#include "directory/Contact.h"
#include "exchange/ImportSink.h"

// Contacts as vCards (2.1, 3.0 and 4.0 read; 3.0 written).
namespace fichelia::exchange {

// Reads every card of UTF-8 text (see vcard::ContentLineReader for lines,
// parameters and encodings), by the rules of ContactBuilder. name comes from
// FN, else from N (given, additional and family names); phone from a TEL that
// is neither cell nor fax, a pager or an "other" number only when no other
// is given; mobile from TEL of type cell, fax from TEL of type fax, mail from
// EMAIL, site from URL, comment from NOTE, address from ADR written as
// French addresses are, else from LABEL. Where several values compete for a
// field, the preferred one (PREF, TYPE=pref; the lowest PREF rank) wins, else
// the first; the others, and the values of properties with no field here
// (BDAY, PHOTO ...; never decoded), are counted as left out. A card without
// END:VCARD or holding a line without a colon, broken quoted-printable or
// base64 or an unknown CHARSET in a value it needs, is skipped and reported;
// so are lines outside any card.
void readVCardContacts(std::string_view text, ImportSink& sink);
ImportReport readVCardContacts(std::string_view text);

// One contact as a vCard 3.0: FN and N, TEL with TYPE=voice, cell or fax,
// EMAIL, URL, NOTE, the whole address in ADR's street part; empty fields left
// out; lines folded at 75 bytes; CR LF line ends. A CR in a text is written as a
// line break, the only one vCard knows.
void appendVCard(std::string& out, const Contact& contact);

} // namespace fichelia::exchange
