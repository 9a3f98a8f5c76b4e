// NVAPI as the module calls it. nvapi.dll is loaded and bound on first use and stays loaded; every
// NVAPI function goes through one calling frame that binds the library, resolves the function by
// its interface identifier once, and runs the driver's before-call hook.
#pragma once

#include <cstddef>

#include "vendor/vendor_abi.h"

// The NVAPI functions the module calls through the frame: name, interface identifier, signature.
#define TVX_NVAPI_FUNCTIONS(ROW)                                                        \
    ROW(NvAPI_EnumPhysicalGPUs, nvapi::kIdEnumPhysicalGPUs, nvapi::EnumPhysicalGPUsFn) \
    ROW(NvAPI_GPU_GetBusId, nvapi::kIdGpuGetBusId, nvapi::GpuGetBusIdFn)               \
    ROW(NvAPI_I2CReadEx, nvapi::kIdI2CReadEx, nvapi::I2CReadExFn)

namespace nvapi_frame {

enum Slot : size_t {
#define TVX_NVAPI_SLOT(name, id, Fn) kSlot_##name,
    TVX_NVAPI_FUNCTIONS(TVX_NVAPI_SLOT)
#undef TVX_NVAPI_SLOT
    kSlotCount
};

// What the frame has resolved: the driver's before-call hook, taken when the library is bound, and
// each slot's function, taken on the slot's first call. A resolved slot implies a bound library.
// Module-wide and constant-initialised, so it is usable whichever module object starts first.
struct Resolved {
    nvapi::BeforeCallHookFn beforeHook;
    void* slots[kSlotCount];
};
extern Resolved g_resolved;

struct Entered {
    nvapi::NvAPI_Status status;  // anything but NVAPI_OK is the call's result, and nothing is called
    void* function;
};
// Binds the library, takes the slot's function (resolving it on first use) and runs the hook.
Entered Enter(Slot slot);

template <Slot S, typename Fn>
struct Function;
template <Slot S, typename... Args>
struct Function<S, nvapi::NvAPI_Status (*)(Args...)> {
    static nvapi::NvAPI_Status Call(Args... args) {
        // A resolved slot with no hook to run needs nothing else from the frame: checked inline, so
        // that a call costs the module hardly more than the driver's own function.
        void* function = g_resolved.slots[S];
        if (!function || g_resolved.beforeHook) {
            const Entered entered = Enter(S);
            if (entered.status != nvapi::NVAPI_OK) return entered.status;
            function = entered.function;
        }
        return reinterpret_cast<nvapi::NvAPI_Status (*)(Args...)>(function)(args...);
    }
};

}  // namespace nvapi_frame

// 0 when nvapi.dll is loaded, bound and initialised (also when it already was); -1 when its query
// entry point or initialise function is missing; -2 when it cannot be loaded; otherwise the failing
// status of the driver's initialise function. A failed load leaves nothing behind.
nvapi::NvAPI_Status LoadNvApiLibrary();

// Binding the library initialises it; callers on several threads are serialised.
nvapi::NvAPI_Status NvAPI_Initialize();

// NvAPI_EnumPhysicalGPUs, NvAPI_GPU_GetBusId, NvAPI_I2CReadEx with the vendor's signatures: the
// frame's status when the library or the function is missing (-3), else the function's own.
#define TVX_NVAPI_FUNCTION(name, id, Fn) \
    inline constexpr auto name = &nvapi_frame::Function<nvapi_frame::kSlot_##name, Fn>::Call;
TVX_NVAPI_FUNCTIONS(TVX_NVAPI_FUNCTION)
#undef TVX_NVAPI_FUNCTION
