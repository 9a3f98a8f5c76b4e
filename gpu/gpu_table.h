// The module-wide GPU entry table and the vendor objects that listing keeps (gpu_table.cpp; see
// base/init_order.h for when they are built and destroyed relative to the rest).
#pragma once

#include <cstdint>

#include "gpu/adlx_ref.h"
#include "gpu/gpu_entry.h"
#include "vendor/vendor_abi.h"

constexpr int kMaxGpuEntries = 64;

extern GpuEntry g_GpuEntries[kMaxGpuEntries];
extern int32_t g_nGpuCount;
extern nvapi::NvPhysicalGpuHandle g_hNvGpus[nvapi::kMaxPhysicalGpus];
extern AdlxRef<adlx::IADLXGPUList> g_pGpuList;   // the list GetGPUs returned, kept until unload
extern AdlxRef<adlx::IADLXGPU> g_pScratchGpu;     // receives each GPU while listing
