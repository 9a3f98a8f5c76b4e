// AMD ADL, used only to create the context that ADLX is started with. The library and the context
// stay for the life of the process.
#pragma once

#include "vendor/vendor_abi.h"

// Loads ADL (atiadlxy.dll, on x64 atiadlxx.dll) unless it already is; false when it cannot be loaded.
bool LoadAdlLibrary();

// A new ADL context from the loaded library, or null when the library has no
// ADL2_Main_ControlX2_Create or that call gives none.
adl::ADL_CONTEXT_HANDLE CreateAdlContext();

// The memory callbacks ADL and ADLX get: a heap block of the requested size, and its release
// through the address of the pointer (which is set to null).
void* TVX_STDCALL AdlAllocate(int size);
void TVX_STDCALL AdlRelease(void** buffer);
