#pragma once

#include <memory>
#include <string>

#include "Options.h"
#include "platform/Console.h"
#include "platform/NameCollator.h"

namespace fichelia::tool {

// The exit statuses.
inline constexpr int kExitSkipped = 1;  // the page is written, but contacts of the input were left out
inline constexpr int kExitBadInput = 2; // bad arguments, or an input that gives nothing: no page
inline constexpr int kExitIoError = 3;  // a file that cannot be read or written

// The file named on the command line, or standard input (left open) when no
// name is given; null, after saying why, when the file cannot be opened.
console::File openInput(const std::string& fileName);

// True, after saying so, when the file named by -o is the input itself, under
// whatever name: replacing it would lose the input.
bool outputIsTheInput(std::FILE* input, const std::string& output);

// write: contacts in, page out, the contacts in the collator's order. Returns
// the exit status.
int runWrite(const WriteOptions& options, std::shared_ptr<const NameCollator> collator);

} // namespace fichelia::tool
