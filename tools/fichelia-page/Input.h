#pragma once

#include "Options.h"

namespace fichelia::tool {

inline constexpr int kExitIoError = 1;
inline constexpr int kExitBadInput = 2;

// write: contacts in, page out. Returns the exit status.
int runWrite(const WriteOptions& options);

} // namespace fichelia::tool
