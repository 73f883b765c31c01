#pragma once

#include <string_view>

#include "exchange/ImportSink.h"

namespace fichelia::exchange {

// Reads the entries of LDIF text as mail programs export address books: an
// entry per block of lines (blank lines between) beginning with its dn:,
// "attribute: value" or "attribute:: base64", lines beginning with a space
// continuing the line before, '#' comments; by the rules of ContactBuilder.
// name comes from cn (else givenName and sn), mail from mail, phone from
// telephoneNumber, else homePhone (pager only when neither is given), mobile from
// mobile, fax from facsimileTelephoneNumber, site from workURL or homeURL,
// comment from description, address from the postal attributes of the
// first address given (street, l, st, postalCode, c ..., or postalAddress,
// whose '$' part lines). An entry is a contact when an objectClass names a
// person (person, organizationalPerson, inetOrgPerson, mozillaAbPersonAlpha
// ...) or when it has a name (cn, a given or family name, o) and a mail address
// or a phone number, as a company's entry; other entries (organizational units,
// groups, a root without phone or mail) are counted as left out. The
// summary ldapsearch writes at the end (search:, result:) is passed over.
// Where several values compete for a field the first wins; the others, and
// attributes with no field here (never decoded), are counted as left out. An
// entry without dn:, holding a line without a colon, or bad base64 in a value
// it needs, is skipped and reported; so is a continuation line with nothing to
// continue.
void readLdifContacts(std::string_view text, ImportSink& sink);
ImportReport readLdifContacts(std::string_view text);

} // namespace fichelia::exchange
