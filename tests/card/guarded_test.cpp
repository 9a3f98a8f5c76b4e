// The module's group state is reached only through Guarded::Lock, so two threads that work on it
// must take turns for as long as each holds its access.
#include "base/guarded.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

struct Tally {
    int count = 0;
    std::vector<int> order;
};

// A read, a pause and a write under one access: without the lock the two threads' steps would
// interleave and updates would be lost.
void AddSlowly(Guarded<Tally>& tally, int thread, int times) {
    for (int i = 0; i < times; ++i) {
        const auto access = tally.Lock();
        const int seen = access->count;
        std::this_thread::yield();
        access->count = seen + 1;
        access->order.push_back(thread);
    }
}

TEST(Guarded, AccessesFromTwoThreadsTakeTurnsForTheirWholeLife) {
    Guarded<Tally> tally;
    constexpr int kTimes = 2000;
    std::thread first(AddSlowly, std::ref(tally), 1, kTimes);
    std::thread second(AddSlowly, std::ref(tally), 2, kTimes);
    first.join();
    second.join();
    const auto access = tally.Lock();
    EXPECT_EQ(2 * kTimes, access->count);
    EXPECT_EQ(static_cast<size_t>(2 * kTimes), access->order.size());
}

}  // namespace
