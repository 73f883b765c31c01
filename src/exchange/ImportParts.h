#pragma once

#include <cstddef>
#include <string_view>

#include "exchange/ImportSink.h"

// Large TSV and vCard inputs are read in parts, one thread each, each part
// into a sink of its own, and the sinks then joined in order. Every part but
// the first begins where the reading of the whole would be between two
// contacts, in the state it starts in, so the result is the reading of the
// whole: a TSV part at a line, a vCard part after a line END:VCARD that
// nothing can join to another line and that a BEGIN:VCARD follows.
namespace fichelia::exchange {

using ReadContacts = void (*)(std::string_view text, ImportSink& sink);
// The first place at or after from (> 0) where a part may begin, or npos.
using PartStart = std::size_t (*)(std::string_view text, std::size_t from);

std::size_t tsvPartStart(std::string_view text, std::size_t from);
std::size_t vcardPartStart(std::string_view text, std::size_t from);

// How many parts an input of size bytes is read in: one a core, up to 8, none
// smaller than 1 MB.
std::size_t partsFor(std::size_t size);

// Reads text into sink in at most parts parts, as near equal as partStart
// allows. Rethrows what a reading threw (std::bad_alloc).
void readInParts(std::string_view text, ReadContacts read, PartStart partStart, ImportSink& sink, std::size_t parts);

} // namespace fichelia::exchange
