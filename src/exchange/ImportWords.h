#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/Result.h"
#include "exchange/ContactTsv.h"
#include "exchange/ImportReport.h"

// The French words for what an import reports (ImportReport.h) and for the
// program's errors (base/Result.h): the one table that the window's boxes and
// the companion tool's messages are both made of, so that the user reads the
// same words in both. UTF-8, without Qt.
//
// It lives beside the importers rather than in text/, which the importers
// themselves use: the words depend on the report, never the other way round.
//
// Numbers are written the French way: thousands apart by a no-break space
// (U+00A0, in every font and in Windows-1252, and never cut at the end of a
// line): "50 000". Numbers that name a place (a line, a column, a field)
// are written whole, as in "ligne 12345". A count takes the singular for 0 and 1: "0 contact",
// "1 contact", "2 contacts".
namespace fichelia::words {

// "50 000".
std::string numberText(long long number);

// "0 contact", "1 contact", "50 000 contacts".
std::string countText(long long count, std::string_view singular, std::string_view plural);

// What went wrong, as the end of a sentence that names the file: "le disque
// est plein".
std::string reasonText(Error error);

// Why a TSV line cannot be read; number is the fields found (FieldCount) or
// the field, from 1 (UnknownEscape).
std::string tsvProblemText(exchange::TsvProblem problem, std::size_t number);

// Why a card, row, entry or line was left out, or a whole input refused:
// "guillemet ouvert jamais refermé (…)". Texts from the file in it are as the
// file gave them: the caller shows control characters as it can.
std::string problemText(const exchange::ImportIssue& issue);

// What was left out, where, and why, for a skipped issue of a file of that
// format: "ligne 3 : carte laissée de côté : carte commencée ici sans
// END:VCARD", "ligne 2 laissée de côté : 7 champs au lieu de 8".
std::string skippedText(exchange::ContactFormat format, const exchange::ImportIssue& issue);

// A line of a UTF-8 file read as Windows-1252 (to put after atLine).
std::string windows1252LineText();

// A site address left out: "adresse de site laissée de côté, elle ferait
// exécuter du code dans le navigateur des visiteurs : javascript:…".
std::string leftOutSiteText(const exchange::LeftOutSite& site);

// A contact without a name: "contact sans nom, nommé d'après sa société".
std::string standInText(exchange::NameStandIn from);

// A kind of values that found no field, in the user's words: "date de
// naissance", "champ inconnu « X-FOO »", "colonne « Birthday »", "numéro de
// téléphone en plus pour le champ « GSM »".
std::string leftOutText(const exchange::LeftOut& kind);

// How many of that kind: "2 × date de naissance".
std::string leftOutCountText(const exchange::LeftOut& kind);

// What heads the list of those kinds.
inline constexpr std::string_view kLeftOutHeading = "valeurs laissées de côté, faute de champ pour elles";

// A text that belongs to a line of the file: "ligne 12 : …"; the text alone
// for line 0.
std::string atLine(long line, std::string_view text);

// After a list cut short: "… et 1 autre", "… et 12 autres".
std::string moreText(std::size_t count);

} // namespace fichelia::words
