#pragma once

#include <string>

#include "Options.h"
#include "platform/Console.h"

namespace fichelia::tool {

inline constexpr int kExitIoError = 1;
inline constexpr int kExitBadInput = 2;

// The file named on the command line, or standard input (left open) when no
// name is given; null, after saying why, when the file cannot be opened.
console::File openInput(const std::string& fileName);

// write: contacts in, page out. Returns the exit status.
int runWrite(const WriteOptions& options);

} // namespace fichelia::tool
