#pragma once

#include <cstddef>
#include <exception>
#include <future>
#include <system_error>
#include <vector>

namespace fichelia {

// Runs work(part) for every part number below parts: the first on this thread,
// the others each on a thread of its own, or on this thread when the system
// gives no more threads. Returns when all are done; then rethrows the
// exception of the last part that threw, if one did.
template <typename Work>
void runInParts(std::size_t parts, const Work& work) {
    std::vector<std::future<void>> others;
    std::vector<std::size_t> leftOver; // parts no thread could be had for
    for (std::size_t part = 1; part < parts; ++part) {
        try {
            others.push_back(std::async(std::launch::async, [&work, part] { work(part); }));
        } catch (const std::system_error&) {
            leftOver.push_back(part);
        }
    }
    std::exception_ptr failure;
    const auto run = [&](std::size_t part) {
        try {
            work(part);
        } catch (...) {
            failure = std::current_exception();
        }
    };
    run(0);
    for (const std::size_t part : leftOver) {
        run(part);
    }
    for (std::future<void>& other : others) {
        try {
            other.get();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

} // namespace fichelia
