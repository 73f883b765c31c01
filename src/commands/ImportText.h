#pragma once

#include <QString>

#include "exchange/ImportReport.h"

// What the importers report, in the window's French: the words for the values
// of exchange/ImportReport.h, as ErrorText gives them for the window's errors.
namespace fichelia {

// Why a card, row, entry or line was left out, or a whole file refused:
// "guillemet ouvert jamais refermé".
QString importProblemText(const exchange::ImportIssue& issue);

// What was left out: "BDAY", "colonne « Birthday »", "TEL en plus (champ GSM)".
QString leftOutText(const exchange::LeftOut& kind);

// What a contact without a name was named after: "sa société".
QString standInText(exchange::NameStandIn from);

// What one card, row, entry or line of the format is called: "carte", "ligne".
QString itemWord(exchange::ContactFormat format, const exchange::ImportIssue& issue);

} // namespace fichelia
