// A function a loaded library exports, typed as the caller declares it.
#pragma once

#include <windows.h>

// GetProcAddress types every export alike; the detour through void* says the real type is known.
template <typename Fn>
Fn FindExport(HMODULE library, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// Takes an export into *function; false when the library lacks it.
template <typename Fn>
bool TakeExport(HMODULE library, const char* name, Fn* function) {
    *function = FindExport<Fn>(library, name);
    return *function != nullptr;
}
