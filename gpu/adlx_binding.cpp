#include "gpu/adlx_binding.h"

#include "base/library_export.h"
#include "vendor/vendor_names.h"

namespace {

// Application folder, user folders, system32 and the default folders.
constexpr DWORD kAdlxSearchFlags = 0x1E00;

HMODULE LoadAdlx() { return LoadLibraryExW(vendor::kLibraryNames.adlx.wide, nullptr, kAdlxSearchFlags); }

// Trivially destructible and constant-initialised: nothing runs at unload, so nothing calls into
// ADLX then.
ADLXHelper g_ADLXHelper;

}  // namespace

bool ADLXHelper::ResolveEntryPoints() {
    // Every entry point must be there, even the two the module never calls, or the library is
    // taken to be unusable.
    bool found = TakeExport(m_hLibrary, "ADLXQueryFullVersion", &m_pfnQueryFullVersion);
    found &= TakeExport(m_hLibrary, "ADLXQueryVersion", &m_pfnQueryVersion);
    found &= TakeExport(m_hLibrary, "ADLXInitializeWithCallerAdl", &m_pfnInitializeWithCallerAdl);
    found &= TakeExport(m_hLibrary, "ADLXInitializeWithIncompatibleDriver", &m_pfnInitializeWithIncompatibleDriver);
    found &= TakeExport(m_hLibrary, "ADLXInitialize", &m_pfnInitialize);
    found &= TakeExport(m_hLibrary, "ADLXTerminate", &m_pfnTerminate);
    return found;
}

adlx::ADLX_RESULT ADLXHelper::Start(adlx::adlx_handle adlContext, adlx::ADLX_ADL_Main_Memory_Free adlRelease) {
    if (!m_hLibrary) {
        m_hLibrary = LoadAdlx();
        if (m_hLibrary) m_bEntryPointsFound = ResolveEntryPoints();
    }
    if (!m_hLibrary || !m_bEntryPointsFound) return adlx::ADLX_FAIL;
    m_pfnQueryFullVersion(&m_nFullVersion);
    m_pfnQueryVersion(&m_pszVersion);
    if (adlContext && adlRelease) {
        return m_pfnInitializeWithCallerAdl(adlx::kFullVersion, &m_pSystem, &m_pMapping, adlContext, adlRelease);
    }
    return m_pfnInitialize(adlx::kFullVersion, &m_pSystem);
}

ADLXHelper& TheAdlxHelper() { return g_ADLXHelper; }

adlx::ADLX_RESULT StartAdlx(adlx::adlx_handle adlContext, adlx::ADLX_ADL_Main_Memory_Free adlRelease) {
    return g_ADLXHelper.Start(adlContext, adlRelease);
}
