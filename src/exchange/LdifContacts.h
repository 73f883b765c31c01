#pragma once

#include <string_view>

#include "exchange/ImportResult.h"

namespace fichelia::exchange {

// Reads the entries of LDIF text as mail programs export address books: an
// entry per block of lines (blank lines between), "attribute: value" or
// "attribute:: base64", lines beginning with a space continuing the line
// before, '#' comments. nom comes from cn (else givenName and sn, else o), mail
// from mail, tel from telephoneNumber or homePhone, gsm from mobile, fax from
// facsimileTelephoneNumber, site from workURL or homeURL, commentaire from
// description, adresse from the postal attributes of the first address given
// (street, l, st, postalCode, c ..., or postalAddress), written as French
// addresses are. Where several values compete for a field the first wins; the
// others, and attributes with no field here, are counted as left out. A line
// without a colon, a continuation with nothing to continue, or bad base64
// refuse the input.
ImportResult readLdifContacts(std::string_view text);

} // namespace fichelia::exchange
