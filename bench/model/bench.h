// The simulated machine at work: it answers the vendor calls (NVAPI, ADL, ADLX) the way the
// vendors' libraries do, checks strictly what the caller passes, and keeps the counters and the
// transaction log. The stand-in DLLs forward every call here unchanged, so the behaviour lives in
// one place and is tested natively. Not thread-safe: the owner serialises calls.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "TorvexBench.h"
#include "adlx_objects.h"
#include "clock.h"
#include "counters.h"
#include "machine.h"
#include "sensor_sdk.h"
#include "transaction_log.h"
#include "vendor/vendor_abi.h"

namespace bench {

enum class Library { Nvapi, Atiadlxy, Amdadlx32 };

// The stand-in's function tables for the interfaces the bench hands out.
struct AdlxVtables {
    const adlx::IADLXSystemVtbl* system = nullptr;
    const adlx::IADLMappingVtbl* mapping = nullptr;
    const adlx::IADLXGPUVtbl* gpu = nullptr;
    const adlx::IADLXGPUListVtbl* gpuList = nullptr;
    const adlx::IADLXI2CVtbl* i2c = nullptr;
};

class Bench {
public:
    explicit Bench(const Clock& clock);
    ~Bench();
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;

    // ---- Control ------------------------------------------------------------------------------
    // Runs a new machine; every library's state, the counters, the log and the ADLX objects
    // start afresh, and the time-driven registers start running from the loaded values.
    void Load(Machine machine);
    const Machine& CurrentMachine() const { return m_machine; }
    int SetRegister(int gpuIndex, int devAddress, int reg, int value);
    int GetRegister(int gpuIndex, int devAddress, int reg);
    int FailRegister(int gpuIndex, int devAddress, int reg, int reads, int status);
    void SetLively(bool lively);
    TransactionLog& Log() { return m_log; }
    // -1 for an unknown name.
    int64_t Counter(std::string_view name) const;
    // The system-monitoring SDK of the machine.
    SensorSdk& Sdk() { return m_sdk; }

    // ---- Libraries ----------------------------------------------------------------------------
    // Counts the load; false when the machine has no such library (its DllMain then refuses).
    bool AttachLibrary(Library library);
    void UseAdlxVtables(const AdlxVtables& vtables);

    // ---- NVAPI --------------------------------------------------------------------------------
    // Whether nvapi_QueryInterface serves this id.
    bool NvServes(nvapi::NvU32 id);
    nvapi::NvAPI_Status NvInitialize();
    nvapi::NvAPI_Status NvEnumPhysicalGPUs(nvapi::NvPhysicalGpuHandle* handles, nvapi::NvU32* count);
    nvapi::NvAPI_Status NvGetBusId(nvapi::NvPhysicalGpuHandle gpu, nvapi::NvU32* busId);
    nvapi::NvAPI_Status NvI2CReadEx(nvapi::NvPhysicalGpuHandle gpu, nvapi::NV_I2C_INFO_V3* info, nvapi::NvU32* flags);
    void NvBeforeCallHook();
    void NvAfterCallHook();

    // ---- ADL ----------------------------------------------------------------------------------
    int AdlCreate(adl::ADL_MAIN_MALLOC_CALLBACK allocate, int enumConnectedAdapters, adl::ADL_CONTEXT_HANDLE* context,
                  int threadingModel);
    int AdlDestroy(adl::ADL_CONTEXT_HANDLE context);

    // ---- ADLX entry points --------------------------------------------------------------------
    adlx::ADLX_RESULT AdlxQueryFullVersion(adlx::adlx_uint64* fullVersion);
    adlx::ADLX_RESULT AdlxQueryVersion(const char** version);
    adlx::ADLX_RESULT AdlxInitialize(adlx::adlx_uint64 version, adlx::IADLXSystem** system);
    adlx::ADLX_RESULT AdlxInitializeWithCallerAdl(adlx::adlx_uint64 version, adlx::IADLXSystem** system,
                                                  adlx::IADLMapping** mapping, adlx::adlx_handle adlContext,
                                                  adlx::ADLX_ADL_Main_Memory_Free adlRelease);
    adlx::ADLX_RESULT AdlxTerminate();

    // ---- ADLX interfaces ----------------------------------------------------------------------
    adlx::adlx_long AdlxAcquire(const void* iface);
    adlx::adlx_long AdlxRelease(const void* iface);
    adlx::ADLX_RESULT SystemGetGPUs(adlx::IADLXSystem* system, adlx::IADLXGPUList** list);
    adlx::ADLX_RESULT SystemGetI2C(adlx::IADLXSystem* system, adlx::IADLXGPU* gpu, adlx::IADLXI2C** i2c);
    adlx::adlx_uint ListSize(adlx::IADLXGPUList* list);
    adlx::adlx_bool ListEmpty(adlx::IADLXGPUList* list);
    adlx::adlx_uint ListBegin(adlx::IADLXGPUList* list);
    adlx::adlx_uint ListEnd(adlx::IADLXGPUList* list);
    adlx::ADLX_RESULT ListAt(adlx::IADLXGPUList* list, adlx::adlx_uint location, adlx::IADLXGPU** gpu);
    adlx::ADLX_RESULT I2cRead(adlx::IADLXI2C* i2c, bool repeatedStart, adlx::adlx_int line, adlx::adlx_int speed,
                              adlx::adlx_int address, adlx::adlx_int offset, adlx::adlx_int dataSize,
                              adlx::adlx_byte* data);
    adlx::ADLX_RESULT MappingAdapterIndexFromGpu(adlx::IADLMapping* mapping, adlx::IADLXGPU* gpu,
                                                 adlx::adlx_int* adapterIndex);
    adlx::ADLX_RESULT MappingGpuFromAdapterIndex(adlx::IADLMapping* mapping, adlx::adlx_int adapterIndex,
                                                 adlx::IADLXGPU** gpu);
    adlx::ADLX_RESULT MappingBdfFromGpu(adlx::IADLMapping* mapping, adlx::IADLXGPU* gpu, adlx::adlx_int* bus,
                                        adlx::adlx_int* device, adlx::adlx_int* function);

private:
    struct AdlContext {
        void* block = nullptr;  // allocated through the caller's callback, freed by ADLX's start-up
    };

    I2cDevice* FindDevice(int gpuIndex, int devAddress);
    // Reads count registers from reg of a device, with the time-driven registers brought up to date.
    ReadResult ReadDevice(int gpuIndex, uint8_t devAddress, uint8_t reg, size_t count, uint8_t* out);
    void BringUpToDate(int gpuIndex, uint8_t devAddress, uint8_t reg, size_t count);
    double LivelySeconds() const;

    int NvGpuIndex(nvapi::NvPhysicalGpuHandle handle) const;
    nvapi::NvAPI_Status NvCheckRead(int gpuIndex, const nvapi::NV_I2C_INFO_V3* info, const nvapi::NvU32* flags) const;
    void LogNvRead(int gpuIndex, nvapi::NvAPI_Status status, const nvapi::NV_I2C_INFO_V3* info,
                   const nvapi::NvU32* flags);

    AdlContext* FindAdlContext(adl::ADL_CONTEXT_HANDLE handle);
    adlx::ADLX_RESULT FinishAdlxStart(adlx::ADLX_RESULT configured, adlx::IADLXSystem** system);
    void FreeAdlBlock(AdlContext& context, adlx::ADLX_ADL_Main_Memory_Free adlRelease);
    bool IsSystem(const adlx::IADLXSystem* system);
    bool IsMapping(const adlx::IADLMapping* mapping);
    AdlxObject* FindOrCount(const void* iface, AdlxKind kind);
    adlx::IADLXGPU* AcquiredGpu(int gpuIndex);
    // How many GPUs the list holds.
    size_t ListedCount(const AdlxObject& list) const { return list.emptyList ? 0 : m_amdGpus.size(); }

    const Clock& m_clock;
    Machine m_machine;
    Counters m_counters;
    TransactionLog m_log;
    SensorSdk m_sdk;

    bool m_livelyRunning = true;
    std::chrono::nanoseconds m_livelyBefore{0};  // running time before the last resume
    std::chrono::nanoseconds m_livelySince{0};   // clock reading at the last resume

    bool m_nvInitialized = false;

    std::vector<std::unique_ptr<AdlContext>> m_adlContexts;

    bool m_adlxInitialized = false;
    AdlxVtables m_vtables;
    adlx::IADLXSystem m_system{};
    adlx::IADLMapping m_mapping{};
    AdlxObjectTable m_objects;
    std::vector<AdlxObject*> m_gpuObjects;  // per scenario GPU; null for NVIDIA GPUs
    std::vector<int> m_amdGpus;             // scenario indices of the AMD GPUs, as ADLX lists them
};

}  // namespace bench
