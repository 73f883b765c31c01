#pragma once

#include <string_view>

#include "exchange/ImportSink.h"

namespace fichelia::exchange {

// The contacts of our own TSV (see exchange/ContactTsv.h), one a line; a line that
// is not one is skipped with its line number.
void readTsvContacts(std::string_view bytes, ImportSink& sink);

} // namespace fichelia::exchange
