#include "gpu/adl_binding.h"

#include <windows.h>

#include <cstdlib>

#include "base/library_export.h"
#include "vendor/vendor_names.h"

namespace {

// Never freed: ADLX goes on using the contexts created from it until the process ends.
HMODULE g_hAdlLibrary;

HMODULE LoadAdl() { return LoadLibraryW(vendor::kLibraryNames.adl.wide); }

adl::Main_ControlX2_CreateFn FindCreateContext(HMODULE library) {
    return FindExport<adl::Main_ControlX2_CreateFn>(library, "ADL2_Main_ControlX2_Create");
}

}  // namespace

bool LoadAdlLibrary() {
    if (!g_hAdlLibrary) g_hAdlLibrary = LoadAdl();
    return g_hAdlLibrary != nullptr;
}

adl::ADL_CONTEXT_HANDLE CreateAdlContext() {
    if (!g_hAdlLibrary) return nullptr;
    const adl::Main_ControlX2_CreateFn create = FindCreateContext(g_hAdlLibrary);
    if (!create) return nullptr;
    adl::ADL_CONTEXT_HANDLE context = nullptr;
    // Connected adapters only; ADL serialises its own calls.
    create(AdlAllocate, 1, &context, adl::ADL_THREADING_LOCKED);
    return context;
}

void* TVX_STDCALL AdlAllocate(int size) {
    return size < 0 ? nullptr : std::malloc(static_cast<size_t>(size));
}

void TVX_STDCALL AdlRelease(void** buffer) {
    if (buffer && *buffer) {
        std::free(*buffer);
        *buffer = nullptr;
    }
}
