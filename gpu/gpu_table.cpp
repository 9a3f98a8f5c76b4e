#include "gpu/gpu_table.h"

#include "base/init_order.h"

GpuEntry g_GpuEntries[kMaxGpuEntries] TVX_INIT_ORDER(TVX_ORDER_GPU_TABLE);
int32_t g_nGpuCount = 0;
nvapi::NvPhysicalGpuHandle g_hNvGpus[nvapi::kMaxPhysicalGpus] = {};
AdlxRef<adlx::IADLXGPUList> g_pGpuList TVX_INIT_ORDER(TVX_ORDER_ADLX_HOLDERS);
AdlxRef<adlx::IADLXGPU> g_pScratchGpu TVX_INIT_ORDER(TVX_ORDER_ADLX_HOLDERS);
