// What the soak watches for growth in its own process (the module, the bench and the soak itself):
// committed private memory, the bytes in use on every heap, and the open handles.
#pragma once

#include <cstdint>

struct ProcessFigures {
    uint64_t privateBytes = 0;  // committed memory no other process shares
    uint64_t heapBytes = 0;     // allocated blocks on all of the process's heaps
    uint32_t handles = 0;
};

ProcessFigures MeasureProcess();
