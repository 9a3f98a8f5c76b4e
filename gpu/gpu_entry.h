// One GPU as the module knows it: the GPU table holds one per GPU and the GPU's bus object keeps
// its own copy. Each copy holds its own reference on the ADLX GPU interface.
#pragma once

#include <cstdint>

#include "gpu/adlx_ref.h"
#include "vendor/vendor_abi.h"

enum GpuVendor : int32_t {
    kGpuVendorNone = 0,
    kGpuVendorNvidia = 1,
    kGpuVendorAmd = 2,
};

struct GpuEntry {
    nvapi::NvPhysicalGpuHandle hNvGpu = nullptr;  // null for an AMD GPU
    AdlxRef<adlx::IADLXGPU> spAdlxGpu;           // empty for an NVIDIA GPU
    int32_t vendor = kGpuVendorNone;             // a GpuVendor
    int32_t nBusNumber = 0;                      // PCI bus number
};

// The entry's first 32-bit word (its NVIDIA handle), as the probe diagnostics print it.
inline uint32_t FirstWordOf(const GpuEntry& entry) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(entry.hNvGpu));
}
