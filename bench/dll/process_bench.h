// The bench of this process, created at first use.
#pragma once

#include "bench_service.h"

bench::BenchService& ProcessBench();
