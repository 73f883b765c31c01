#include "base/Parallel.h"

#include <atomic>
#include <new>
#include <vector>

#include <gtest/gtest.h>

// Every part runs once, and a part that throws does not keep the others from
// finishing before its exception comes back.
TEST(Parallel, runsEveryPartOnceAndRethrowsAfterAllAreDone) {
    for (const std::size_t parts : {1u, 2u, 8u}) {
        std::vector<std::atomic<int>> runs(parts);
        fichelia::runInParts(parts, [&](std::size_t part) { ++runs[part]; });
        for (std::size_t part = 0; part < parts; ++part) {
            EXPECT_EQ(runs[part], 1) << parts << " parts, part " << part;
        }
        for (std::size_t throwing = 0; throwing < parts; ++throwing) {
            std::atomic<std::size_t> done = 0;
            EXPECT_THROW(fichelia::runInParts(parts,
                                              [&](std::size_t part) {
                                                  if (part == throwing) {
                                                      throw std::bad_alloc();
                                                  }
                                                  ++done;
                                              }),
                         std::bad_alloc);
            EXPECT_EQ(done, parts - 1);
        }
    }
}
