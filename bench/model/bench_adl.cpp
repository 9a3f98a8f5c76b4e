// ADL's context creation and ADLX's start-up. ADL takes its memory from the caller's allocation
// callback; ADLX, started with the caller's ADL, gives that memory back through the caller's
// release callback, so both callbacks are exercised the way the driver exercises them.
#include <cstring>

#include "bench.h"

namespace bench {
namespace {

using namespace adlx;

constexpr int kAdlBlockSize = 64;  // what ADL keeps per context (its adapter information)
// The library's own version: ADLX 1.4, build 110.
constexpr adlx_uint64 kLibraryFullVersion = 0x000100040000006EULL;
constexpr const char* kLibraryVersionText = "1.4";
constexpr adlx_uint64 kMajorVersionShift = 48;
constexpr ADLX_RESULT ADLX_TERMINATED = 7;

bool CompatibleVersion(adlx_uint64 version) { return version >> kMajorVersionShift == kLibraryFullVersion >> kMajorVersionShift; }

}  // namespace

int Bench::AdlCreate(adl::ADL_MAIN_MALLOC_CALLBACK allocate, int, adl::ADL_CONTEXT_HANDLE* context, int) {
    m_counters.Add(CounterId::AdlCreate);
    if (!allocate || !context || !m_machine.adl.context) return adl::ADL_ERR;
    m_counters.Add(CounterId::AdlMalloc);
    void* block = allocate(kAdlBlockSize);
    if (!block) return adl::ADL_ERR;
    std::memset(block, 0, kAdlBlockSize);
    m_adlContexts.push_back(std::make_unique<AdlContext>());
    m_adlContexts.back()->block = block;
    *context = m_adlContexts.back().get();
    return adl::ADL_OK;
}

Bench::AdlContext* Bench::FindAdlContext(adl::ADL_CONTEXT_HANDLE handle) {
    for (const auto& context : m_adlContexts)
        if (context.get() == handle) return context.get();
    return nullptr;
}

int Bench::AdlDestroy(adl::ADL_CONTEXT_HANDLE handle) {
    m_counters.Add(CounterId::AdlDestroy);
    for (auto it = m_adlContexts.begin(); it != m_adlContexts.end(); ++it) {
        if (it->get() != handle) continue;
        m_adlContexts.erase(it);
        return adl::ADL_OK;
    }
    return adl::ADL_ERR;
}

ADLX_RESULT Bench::AdlxQueryFullVersion(adlx_uint64* fullVersion) {
    m_counters.Add(CounterId::AdlxQueryVersion);
    if (!fullVersion) return ADLX_INVALID_ARGS;
    *fullVersion = kLibraryFullVersion;
    return ADLX_OK;
}

ADLX_RESULT Bench::AdlxQueryVersion(const char** version) {
    m_counters.Add(CounterId::AdlxQueryVersion);
    if (!version) return ADLX_INVALID_ARGS;
    *version = kLibraryVersionText;
    return ADLX_OK;
}

// A configured success gives the system interface; 0 means the library's own answer: OK the first
// time, ALREADY_INITIALIZED (with the same interface) until ADLX is terminated.
ADLX_RESULT Bench::FinishAdlxStart(ADLX_RESULT configured, IADLXSystem** system) {
    if (!Succeeded(configured)) {
        *system = nullptr;
        return configured;
    }
    ADLX_RESULT result = configured;
    if (configured == ADLX_OK && m_adlxInitialized) result = ADLX_ALREADY_INITIALIZED;
    m_adlxInitialized = true;
    *system = &m_system;
    return result;
}

ADLX_RESULT Bench::AdlxInitialize(adlx_uint64 version, IADLXSystem** system) {
    m_counters.Add(CounterId::AdlxInit);
    if (!system) return ADLX_INVALID_ARGS;
    if (!CompatibleVersion(version)) {
        *system = nullptr;
        return ADLX_BAD_VER;
    }
    return FinishAdlxStart(m_machine.adlx.initialize, system);
}

void Bench::FreeAdlBlock(AdlContext& context, ADLX_ADL_Main_Memory_Free adlRelease) {
    if (!context.block) return;
    m_counters.Add(CounterId::AdlxReleaseCallback);
    void* block = context.block;
    adlRelease(&block);
    if (block) m_counters.Add(CounterId::AdlxReleaseNotCleared);
    context.block = nullptr;
}

ADLX_RESULT Bench::AdlxInitializeWithCallerAdl(adlx_uint64 version, IADLXSystem** system, IADLMapping** mapping,
                                              adlx_handle adlContext, ADLX_ADL_Main_Memory_Free adlRelease) {
    m_counters.Add(CounterId::AdlxInitWithAdl);
    if (!system || !mapping) return ADLX_INVALID_ARGS;
    *system = nullptr;
    *mapping = nullptr;
    if (!adlContext || !adlRelease) return ADLX_INVALID_ARGS;
    AdlContext* context = FindAdlContext(adlContext);
    if (!context) return ADLX_ADL_INIT_ERROR;
    if (!CompatibleVersion(version)) return ADLX_BAD_VER;
    const ADLX_RESULT result = FinishAdlxStart(m_machine.adlx.initializeWithAdl, system);
    if (!Succeeded(result)) return result;
    FreeAdlBlock(*context, adlRelease);
    if (m_machine.adlx.mapping) *mapping = &m_mapping;
    return result;
}

ADLX_RESULT Bench::AdlxTerminate() {
    m_counters.Add(CounterId::AdlxTerminate);
    m_adlxInitialized = false;
    return ADLX_OK;
}

bool Bench::IsSystem(const IADLXSystem* system) {
    if (system == &m_system && m_adlxInitialized) return true;
    m_counters.Add(CounterId::AdlxInvalidObject);
    return false;
}

bool Bench::IsMapping(const IADLMapping* mapping) {
    if (mapping == &m_mapping && m_adlxInitialized && m_machine.adlx.mapping) return true;
    m_counters.Add(CounterId::AdlxInvalidObject);
    return false;
}

ADLX_RESULT Bench::SystemGetGPUs(IADLXSystem* system, IADLXGPUList** list) {
    m_counters.Add(CounterId::AdlxGetGpus);
    if (!IsSystem(system)) return ADLX_TERMINATED;
    if (!list) return ADLX_INVALID_ARGS;
    *list = nullptr;
    if (m_machine.adlx.gpuList == GpuListMode::Fail) return ADLX_FAIL;
    AdlxObject* created = m_objects.Create(AdlxKind::GpuList, m_vtables.gpuList, -1, 1);
    created->emptyList = m_machine.adlx.gpuList == GpuListMode::Empty;
    *list = reinterpret_cast<IADLXGPUList*>(created);
    return ADLX_OK;
}

ADLX_RESULT Bench::SystemGetI2C(IADLXSystem* system, IADLXGPU* gpu, IADLXI2C** i2c) {
    m_counters.Add(CounterId::AdlxGetI2c);
    if (!IsSystem(system)) return ADLX_TERMINATED;
    if (!i2c) return ADLX_INVALID_ARGS;
    *i2c = nullptr;
    const AdlxObject* gpuObject = FindOrCount(gpu, AdlxKind::Gpu);
    if (!gpuObject) return ADLX_INVALID_ARGS;
    AdlxObject* created = m_objects.Create(AdlxKind::I2c, m_vtables.i2c, gpuObject->gpuIndex, 1);
    *i2c = reinterpret_cast<IADLXI2C*>(created);
    return ADLX_OK;
}

}  // namespace bench
