#include "AllocationLimit.h"

#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>

namespace {

std::size_t g_limit = std::numeric_limits<std::size_t>::max();
std::atomic<std::size_t> g_allocated{0};

} // namespace

namespace fichelia::testing {

AllocationLimit::AllocationLimit(std::size_t bytes) {
    g_limit = bytes;
}
AllocationLimit::~AllocationLimit() {
    g_limit = std::numeric_limits<std::size_t>::max();
}

std::size_t allocatedBytes() { return g_allocated.load(); }

} // namespace fichelia::testing

// The replaceable allocation functions, all of them but the aligned ones, so
// that whatever one of them allocates another frees (a sanitizer checks that
// the two match).
void* operator new(std::size_t size) {
    if (size >= g_limit) {
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        g_allocated += size;
        return memory;
    }
    throw std::bad_alloc();
}

void* operator new[](std::size_t size) {
    return operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return operator new(size, std::nothrow);
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
