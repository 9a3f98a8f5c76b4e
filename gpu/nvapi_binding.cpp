#include "gpu/nvapi_binding.h"

#include <windows.h>

#include <mutex>

#include "base/library_export.h"
#include "base/win32_handles.h"
#include "gpu/driver_library.h"
#include "vendor/vendor_names.h"

namespace {

using nvapi::NvAPI_Status;
using nvapi::NvU32;

constexpr NvU32 kSlotIds[] = {
#define TVX_NVAPI_ID(name, id, Fn) id,
    TVX_NVAPI_FUNCTIONS(TVX_NVAPI_ID)
#undef TVX_NVAPI_ID
};

// Module-wide and constant-initialised, like the frame's resolved functions.
struct NvApiLibrary {
    HMODULE module;  // kept for the life of the process once bound
    nvapi::QueryInterfaceFn query;
};
NvApiLibrary g_nvapi;

nvapi::QueryInterfaceFn FindQueryInterface(HMODULE library) {
    return FindExport<nvapi::QueryInterfaceFn>(library, "nvapi_QueryInterface");
}

// Takes the query entry point and the hook of a loaded library, initialising the driver.
NvAPI_Status Bind(HMODULE library, nvapi::QueryInterfaceFn* query, nvapi::BeforeCallHookFn* beforeHook) {
    *query = FindQueryInterface(library);
    if (!*query) return nvapi::NVAPI_ERROR;
    const auto initialize = reinterpret_cast<nvapi::InitializeFn>((*query)(nvapi::kIdInitialize));
    if (!initialize) return nvapi::NVAPI_ERROR;
    const NvAPI_Status status = initialize();
    if (status != nvapi::NVAPI_OK) return status;
    // The driver's hooks are taken only as a lone before-call hook: a driver that also offers the
    // after-call hook gets neither called, so no after-call hook is ever kept.
    const auto before = reinterpret_cast<nvapi::BeforeCallHookFn>((*query)(nvapi::kIdBeforeCallHook));
    const bool hasAfter = (*query)(nvapi::kIdAfterCallHook) != nullptr;
    *beforeHook = hasAfter ? nullptr : before;
    return nvapi::NVAPI_OK;
}

// Serialises the first binding; taken only by NvAPI_Initialize, which runs under no other lock.
std::mutex g_initializeLock;

}  // namespace

nvapi_frame::Resolved nvapi_frame::g_resolved;

NvAPI_Status LoadNvApiLibrary() {
    if (g_nvapi.module) return nvapi::NVAPI_OK;
    UniqueModule library(LoadDriverLibrary(vendor::kLibraryNames.nvapi.wide));
    if (!library) return nvapi::NVAPI_LIBRARY_NOT_FOUND;
    nvapi::QueryInterfaceFn query = nullptr;
    nvapi::BeforeCallHookFn beforeHook = nullptr;
    const NvAPI_Status status = Bind(library.get(), &query, &beforeHook);
    if (status != nvapi::NVAPI_OK) return status;
    // Every cache slot starts empty; the library is published last, as the mark of a bound one.
    nvapi_frame::g_resolved = nvapi_frame::Resolved{beforeHook, {}};
    g_nvapi.query = query;
    g_nvapi.module = library.release();
    return nvapi::NVAPI_OK;
}

NvAPI_Status NvAPI_Initialize() {
    const std::lock_guard<std::mutex> hold(g_initializeLock);
    return LoadNvApiLibrary();
}

nvapi_frame::Entered nvapi_frame::Enter(Slot slot) {
    const NvAPI_Status status = LoadNvApiLibrary();
    if (status != nvapi::NVAPI_OK) return {status, nullptr};
    void*& function = g_resolved.slots[slot];
    if (!function) function = g_nvapi.query(kSlotIds[slot]);
    if (!function) return {nvapi::NVAPI_NO_IMPLEMENTATION, nullptr};
    if (g_resolved.beforeHook) {
        NvU32 context[2] = {0, 0};
        g_resolved.beforeHook(kSlotIds[slot], context);
    }
    return {nvapi::NVAPI_OK, function};
}
