#include "gpu/gpu_access.h"

#include "base/diag.h"
#include "gpu/adl_binding.h"
#include "gpu/adlx_binding.h"
#include "gpu/gpu_discovery.h"
#include "gpu/i2c_bus.h"
#include "gpu/nvapi_binding.h"

namespace {

constexpr int kNoGpuList = -2;
constexpr int kNoVendorInterface = -3;

// NVIDIA serves the process when NVAPI comes up and lists its GPUs.
bool StartNvidia() {
    if (NvAPI_Initialize() != nvapi::NVAPI_OK) return false;
    const nvapi::NvAPI_Status listing = ListNvidiaGpus();
    I2cBus::PrepareNvTransaction();
    return listing == nvapi::NVAPI_OK;
}

int StartAmd() {
    if (!LoadAdlLibrary()) return kNoVendorInterface;
    // ADLX started with an ADL context also hands out the mapping from ADLX GPUs to PCI locations.
    const adl::ADL_CONTEXT_HANDLE context = CreateAdlContext();
    if (context && adlx::Succeeded(StartAdlx(context, AdlRelease))) {
        DebugPrint(L"ADLX initialized successfully");
    } else {
        DebugPrint(L"ADLX initialization failed");
    }
    const bool hadSystem = TheAdlxHelper().System() != nullptr;
    adlx::IADLMapping* mapping = TheAdlxHelper().Mapping();
    DebugPrint(L"adlMapping is nullptr: %d.", mapping == nullptr ? 1 : 0);

    // Without a context this starts ADLX; after a start with one it reports it already is.
    if (!adlx::Succeeded(StartAdlx(nullptr, nullptr))) return kNoVendorInterface;
    if (!ListAmdGpus(TheAdlxHelper().System())) return kNoGpuList;
    if (hadSystem && mapping) {
        AssignAmdBusNumbersFromMapping(mapping);
    } else {
        AssignAmdBusNumbersFromBusList();
    }
    return 0;
}

}  // namespace

int InitGpuAccess() {
    if (StartNvidia()) return 0;
    DebugPrint(L"GPU i2c_B initial fail!\n");
    DebugPrint(L"Please check NV driver!\n");
    return StartAmd();
}
