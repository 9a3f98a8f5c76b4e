// The bench's atiadlxy.dll: ADL, of which only the context is used.
#include <windows.h>

#include <type_traits>

#include "bench_vendor_entry.h"

extern "C" {

int TVX_CDECL ADL2_Main_ControlX2_Create(adl::ADL_MAIN_MALLOC_CALLBACK allocate, int enumConnectedAdapters,
                                         adl::ADL_CONTEXT_HANDLE* context, int threadingModel) {
    return TorvexBenchAdl_Create(allocate, enumConnectedAdapters, context, threadingModel);
}

int TVX_CDECL ADL2_Main_Control_Destroy(adl::ADL_CONTEXT_HANDLE context) { return TorvexBenchAdl_Destroy(context); }

}  // extern "C"

// The declared pointer type pins the export to the signature callers use.
static_assert(std::is_same_v<decltype(&ADL2_Main_ControlX2_Create), adl::Main_ControlX2_CreateFn>,
              "ADL2_Main_ControlX2_Create matches the vendor declaration");

// A machine without ADL refuses the load, exactly like a missing file.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    DisableThreadLibraryCalls(instance);
    return TorvexBenchLib_Attach(TorvexBenchLibrary_Atiadlxy) ? TRUE : FALSE;
}
