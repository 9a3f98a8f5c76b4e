#include "nvapi_binding.h"

#include <windows.h>

#include <mutex>

#include "critical_section.h"
#include "driver_library.h"
#include "library_export.h"
#include "win32_handles.h"

namespace {

using nvapi::NvAPI_Status;
using nvapi::NvU32;

constexpr NvU32 kSlotIds[] = {
#define TVX_NVAPI_ID(name, id, Fn) id,
    TVX_NVAPI_FUNCTIONS(TVX_NVAPI_ID)
#undef TVX_NVAPI_ID
};

// Module-wide and constant-initialised, so it is usable whichever module object starts first.
struct NvApiBinding {
    HMODULE library;  // kept for the life of the process once bound
    nvapi::QueryInterfaceFn query;
    nvapi::BeforeCallHookFn beforeHook;
    void* slots[nvapi_frame::kSlotCount];
};
NvApiBinding g_nvapi;

nvapi::QueryInterfaceFn FindQueryInterface(HMODULE library) {
    return FindExport<nvapi::QueryInterfaceFn>(library, "nvapi_QueryInterface");
}

// Fills a fresh binding (every cache slot empty) for a loaded library, initialising the driver.
NvAPI_Status Bind(HMODULE library, NvApiBinding* bound) {
    bound->query = FindQueryInterface(library);
    if (!bound->query) return nvapi::NVAPI_ERROR;
    const auto initialize = reinterpret_cast<nvapi::InitializeFn>(bound->query(nvapi::kIdInitialize));
    if (!initialize) return nvapi::NVAPI_ERROR;
    const NvAPI_Status status = initialize();
    if (status != nvapi::NVAPI_OK) return status;
    // The driver's hooks are taken only as a lone before-call hook: a driver that also offers the
    // after-call hook gets neither called, so no after-call hook is ever kept.
    const auto before = reinterpret_cast<nvapi::BeforeCallHookFn>(bound->query(nvapi::kIdBeforeCallHook));
    const bool hasAfter = bound->query(nvapi::kIdAfterCallHook) != nullptr;
    bound->beforeHook = hasAfter ? nullptr : before;
    return nvapi::NVAPI_OK;
}

CriticalSection& InitializeLock() {
    static CriticalSection section;
    return section;
}

}  // namespace

NvAPI_Status LoadNvApiLibrary() {
    if (g_nvapi.library) return nvapi::NVAPI_OK;
    UniqueModule library(LoadDriverLibrary(L"nvapi.dll"));
    if (!library) return nvapi::NVAPI_LIBRARY_NOT_FOUND;
    NvApiBinding bound{};
    const NvAPI_Status status = Bind(library.get(), &bound);
    if (status != nvapi::NVAPI_OK) return status;
    bound.library = library.release();
    g_nvapi = bound;
    return nvapi::NVAPI_OK;
}

NvAPI_Status NvAPI_Initialize() {
    std::lock_guard<CriticalSection> hold(InitializeLock());
    return LoadNvApiLibrary();
}

nvapi_frame::Entered nvapi_frame::Enter(Slot slot) {
    const NvAPI_Status status = LoadNvApiLibrary();
    if (status != nvapi::NVAPI_OK) return {status, nullptr};
    void*& function = g_nvapi.slots[slot];
    if (!function) function = g_nvapi.query(kSlotIds[slot]);
    if (!function) return {nvapi::NVAPI_NO_IMPLEMENTATION, nullptr};
    if (g_nvapi.beforeHook) {
        NvU32 context[2] = {0, 0};
        g_nvapi.beforeHook(kSlotIds[slot], context);
    }
    return {nvapi::NVAPI_OK, function};
}
