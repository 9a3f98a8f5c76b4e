// The calling conventions and layout switch that every vendor interface of a 32-bit Windows caller
// uses. Elsewhere (the native build of the bench model and the tests) they are empty: nothing
// there calls into a vendor library.
#pragma once

#if defined(_WIN32) && !defined(_WIN64)
#define TVX_CDECL __cdecl
#define TVX_STDCALL __stdcall
#define TVX_X86_LAYOUT 1
#else
#define TVX_CDECL
#define TVX_STDCALL
#define TVX_X86_LAYOUT 0
#endif
