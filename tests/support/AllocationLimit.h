#pragma once

#include <cstddef>

namespace fichelia::testing {

// While one lives, every allocation through operator new of at least `bytes`
// bytes fails with std::bad_alloc, as when memory runs out. Only a test
// program that links AllocationLimit.cpp (which replaces operator new) has it.
class AllocationLimit {
public:
    explicit AllocationLimit(std::size_t bytes);
    ~AllocationLimit();
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;
};

// The bytes asked of operator new so far, by the whole program.
std::size_t allocatedBytes();

} // namespace fichelia::testing
