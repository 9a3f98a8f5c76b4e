// AMD ADLX: its library, its six entry points and the interfaces its start-up hands out. One
// module-wide helper holds them for the life of the process; ADLX is never terminated.
#pragma once

#include <windows.h>

#include "vendor/vendor_abi.h"

class ADLXHelper {
public:
    // Loads the library (again only when an earlier load failed) and starts ADLX: with the caller's
    // ADL context when both a context and its release callback are given, which also yields the ADL
    // mapping interface, otherwise on its own. Gives the start-up's result, or ADLX_FAIL when the
    // library or one of its six entry points is missing.
    adlx::ADLX_RESULT Start(adlx::adlx_handle adlContext, adlx::ADLX_ADL_Main_Memory_Free adlRelease);

    adlx::IADLXSystem* System() const { return m_pSystem; }
    adlx::IADLMapping* Mapping() const { return m_pMapping; }

private:
    bool ResolveEntryPoints();

    // Deliberately never freed: ADLX is not terminated, and its interfaces live until the process ends.
    HMODULE m_hLibrary = nullptr;
    bool m_bEntryPointsFound = false;
    adlx::adlx_uint64 m_nFullVersion = 0;
    const char* m_pszVersion = nullptr;
    adlx::IADLXSystem* m_pSystem = nullptr;
    adlx::IADLMapping* m_pMapping = nullptr;

    adlx::ADLXQueryFullVersionFn m_pfnQueryFullVersion = nullptr;
    adlx::ADLXQueryVersionFn m_pfnQueryVersion = nullptr;
    adlx::ADLXInitializeWithCallerAdlFn m_pfnInitializeWithCallerAdl = nullptr;
    adlx::ADLXInitializeFn m_pfnInitializeWithIncompatibleDriver = nullptr;
    adlx::ADLXInitializeFn m_pfnInitialize = nullptr;
    adlx::ADLXTerminateFn m_pfnTerminate = nullptr;
};

ADLXHelper& TheAdlxHelper();

// TheAdlxHelper().Start(adlContext, adlRelease).
adlx::ADLX_RESULT StartAdlx(adlx::adlx_handle adlContext, adlx::ADLX_ADL_Main_Memory_Free adlRelease);
