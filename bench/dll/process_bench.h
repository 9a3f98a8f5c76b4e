// The bench of this process, created at first use.
#pragma once

#include <utility>

#include "bench_service.h"

bench::BenchService& ProcessBench();

// How long each I2C read is held before it returns (TorvexBench_HoldReads), in milliseconds.
void SetReadHoldMs(int milliseconds);
int ReadHoldMs();
void HoldFor(int milliseconds);

// Runs one I2C read on the process's bench, then holds it for the hold set when it began. The hold
// is spent outside the bench's lock, so that other callers' calls go on meanwhile.
template <typename Read>
auto HeldRead(Read&& read) {
    const int holdMs = ReadHoldMs();
    auto result = ProcessBench().With(std::forward<Read>(read));
    HoldFor(holdMs);
    return result;
}
