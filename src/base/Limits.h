#pragma once

#include <stdexcept>

namespace fichelia {

// Thrown where a count goes past what the program's indices or the page can
// number (2^31 - 1 records on a page, 2^32 - 1 in a sort, 2^32 - 1 blocks of
// packed records): a limit of the program, not memory running out, and said
// as such.
class TooManyRecords : public std::length_error {
public:
    using std::length_error::length_error;
};

} // namespace fichelia
