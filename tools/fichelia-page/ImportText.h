#pragma once

#include <string>

#include "exchange/ImportReport.h"
#include "exchange/ContactTsv.h"

// What the importers report, in French: the tool's words for the values of
// exchange/ImportReport.h, as commands/ErrorText.h gives the window's.
namespace fichelia::tool {

// Why a card, row, entry or line was left out, or the input refused:
// "guillemet ouvert jamais refermé (...)".
std::string problemText(const exchange::ImportIssue& issue);

// What was left out: "BDAY", "colonne « Birthday »", "TEL en plus (champ gsm)".
std::string leftOutText(const exchange::LeftOut& kind);

// What a contact without a name was named after: "sa société".
std::string standInText(exchange::NameStandIn from);

// Why a TSV line cannot be read (for --template).
std::string tsvProblemText(exchange::TsvProblem problem, std::size_t number);

} // namespace fichelia::tool
