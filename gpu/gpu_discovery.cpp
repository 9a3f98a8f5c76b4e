#include "gpu/gpu_discovery.h"

#include <algorithm>
#include <vector>

#include "base/diag.h"
#include "gpu/bus_list.h"
#include "gpu/gpu_table.h"
#include "gpu/nvapi_binding.h"

nvapi::NvAPI_Status ListNvidiaGpus() {
    nvapi::NvU32 count = 0;
    const nvapi::NvAPI_Status status = NvAPI_EnumPhysicalGPUs(g_hNvGpus, &count);
    g_nGpuCount = static_cast<int32_t>(std::min<nvapi::NvU32>(count, kMaxGpuEntries));
    for (int32_t i = 0; i < g_nGpuCount; ++i) {
        g_GpuEntries[i].hNvGpu = g_hNvGpus[i];
        g_GpuEntries[i].vendor = kGpuVendorNvidia;
    }
    return status;
}

bool ListAmdGpus(adlx::IADLXSystem* system) {
    // A failed NVIDIA listing may have left entries behind; the AMD GPUs take the table from 0.
    g_nGpuCount = 0;
    if (!system) return false;
    if (!adlx::Succeeded(system->pVtbl->GetGPUs(system, g_pGpuList.ReleaseAndGetAddressOf()))) return false;
    adlx::IADLXGPUList* list = g_pGpuList.Get();
    if (!list || list->pVtbl->Empty(list)) return false;
    const adlx::adlx_uint end = list->pVtbl->End(list);
    for (adlx::adlx_uint i = list->pVtbl->Begin(list); i < end && g_nGpuCount < kMaxGpuEntries; ++i) {
        list->pVtbl->At_GPUList(list, i, g_pScratchGpu.ReleaseAndGetAddressOf());
        GpuEntry& entry = g_GpuEntries[g_nGpuCount++];
        entry.hNvGpu = nullptr;
        entry.spAdlxGpu.Assign(g_pScratchGpu.Get());
        entry.vendor = kGpuVendorAmd;
        entry.nBusNumber = 0;
    }
    return true;
}

void AssignAmdBusNumbersFromMapping(adlx::IADLMapping* mapping) {
    // The mapping's statuses are not checked: a failing call leaves its preset output behind.
    for (int32_t i = 0; i < g_nGpuCount; ++i) {
        GpuEntry& entry = g_GpuEntries[i];
        adlx::adlx_int adapterIndex = -1;
        mapping->pVtbl->AdlAdapterIndexFromADLXGPU(mapping, entry.spAdlxGpu.Get(), &adapterIndex);
        mapping->pVtbl->GetADLXGPUFromAdlAdapterIndex(mapping, adapterIndex, entry.spAdlxGpu.ReleaseAndGetAddressOf());
        adlx::adlx_int bus = 0, device = 0, function = 0;
        mapping->pVtbl->BdfFromADLXGPU(mapping, entry.spAdlxGpu.Get(), &bus, &device, &function);
        StdoutPrint("Get BDF from ADLXGPU bus: %d, device: %d, function: %d\n", bus, device, function);
        entry.nBusNumber = bus;
    }
}

void AssignAmdBusNumbersFromBusList() {
    const std::vector<BusListItem> items = ReadBusList();
    const size_t count = std::min(items.size(), static_cast<size_t>(g_nGpuCount));
    for (size_t k = 0; k < count; ++k) ParseHexInt(items[k].strBusDigits, &g_GpuEntries[k].nBusNumber);
}

int QueryGpuBusNumber(const GpuEntry& entry, int32_t* busNumber) {
    if (entry.vendor != kGpuVendorNvidia) return -1;
    return NvAPI_GPU_GetBusId(entry.hNvGpu, reinterpret_cast<nvapi::NvU32*>(busNumber));
}
