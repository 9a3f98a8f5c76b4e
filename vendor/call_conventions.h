// The calling conventions of the vendor interfaces. A 32-bit Windows caller must match each one;
// x64 Windows has a single convention, so there (and in the native build of the bench model and
// the tests, where nothing calls into a vendor library) they are empty.
#pragma once

#if defined(_WIN32) && !defined(_WIN64)
#define TVX_CDECL __cdecl
#define TVX_STDCALL __stdcall
#else
#define TVX_CDECL
#define TVX_STDCALL
#endif
