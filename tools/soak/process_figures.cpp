#include "process_figures.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

// Committed pages that belong to this process alone, region by region over the address space (the
// process-memory counters that would give it are not filled in under Wine).
uint64_t PrivateCommittedBytes() {
    uint64_t bytes = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof(region)) == sizeof(region);
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) bytes += region.RegionSize;
        if (static_cast<const char*>(region.BaseAddress) + region.RegionSize < at) break;  // the end wrapped
    }
    return bytes;
}

uint64_t HeapBytesInUse(HANDLE heap) {
    uint64_t bytes = 0;
    if (!HeapLock(heap)) return 0;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
    }
    HeapUnlock(heap);
    return bytes;
}

// Handle values are multiples of four from 4 up; each one open answers GetHandleInformation (the
// process's handle count is not kept under Wine).
uint32_t OpenHandles() {
    constexpr uintptr_t kHighestProbed = 4 * 65536;
    uint32_t count = 0;
    DWORD flags = 0;
    for (uintptr_t value = 4; value <= kHighestProbed; value += 4)
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    return count;
}

}  // namespace

ProcessFigures MeasureProcess() {
    ProcessFigures figures;
    figures.privateBytes = PrivateCommittedBytes();
    // The list may grow between the two calls; the second call says how long it is now.
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 8);
    heaps.resize(std::min<size_t>(heaps.size(), GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data())));
    for (HANDLE heap : heaps) figures.heapBytes += HeapBytesInUse(heap);
    figures.handles = OpenHandles();
    return figures;
}
