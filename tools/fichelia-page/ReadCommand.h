#pragma once

#include "Options.h"

namespace fichelia::tool {

// read: page in, contacts out. Returns the exit status.
int runRead(const ReadOptions& options);

} // namespace fichelia::tool
