// A function a loaded library exports, typed as the caller declares it.
#pragma once

#include <windows.h>

// GetProcAddress types every export alike; the detour through void* says the real type is known.
template <typename Fn>
Fn FindExport(HMODULE library, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}
