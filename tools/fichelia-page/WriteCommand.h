#pragma once

#include <string>

#include "Options.h"
#include "platform/Console.h"

namespace fichelia::tool {

// The exit statuses.
inline constexpr int kExitSkipped = 1;  // the page is written, but contacts of the input were left out
inline constexpr int kExitBadInput = 2; // bad arguments, or an input that gives nothing: no page
inline constexpr int kExitIoError = 3;  // a file that cannot be read or written

// The file named on the command line, or standard input (left open) when no
// name is given; null, after saying why, when the file cannot be opened.
console::File openInput(const std::string& fileName);

// write: contacts in, page out. Returns the exit status.
int runWrite(const WriteOptions& options);

} // namespace fichelia::tool
