// Every module-wide object with a constructor or destructor is defined here, in one translation
// unit, so that the language's rule fixes their order: constructed top to bottom at load,
// destroyed bottom to top at unload. At unload that releases the ADLX GPU list and scratch
// reference first, then the GPU entry table (each slot its ADLX GPU), and the application object
// last.
#include "app.h"
#include "gpu_table.h"

CTorvexModuleApp theApp;

GpuEntry g_GpuEntries[kMaxGpuEntries];
int32_t g_nGpuCount = 0;
nvapi::NvPhysicalGpuHandle g_hNvGpus[nvapi::kMaxPhysicalGpus] = {};
AdlxRef<adlx::IADLXGPUList> g_pGpuList;
AdlxRef<adlx::IADLXGPU> g_pScratchGpu;
