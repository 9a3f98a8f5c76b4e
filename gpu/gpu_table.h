// The module-wide GPU entry table and the vendor objects that listing keeps. They are defined
// together with the other module-wide objects (module/module_objects.cpp) so that construction
// and destruction at load and unload follow one declared order.
#pragma once

#include <cstdint>

#include "adlx_ref.h"
#include "gpu_entry.h"
#include "vendor_abi.h"

constexpr int kMaxGpuEntries = 64;

extern GpuEntry g_GpuEntries[kMaxGpuEntries];
extern int32_t g_nGpuCount;
extern nvapi::NvPhysicalGpuHandle g_hNvGpus[nvapi::kMaxPhysicalGpus];
extern AdlxRef<adlx::IADLXGPUList> g_pGpuList;   // the list GetGPUs returned, kept until unload
extern AdlxRef<adlx::IADLXGPU> g_pScratchGpu;     // receives each GPU while listing
