// The Windows build number the Wine prefix reports ("CurrentBuildNumber") decides which road the
// module takes to nvapi.dll, and every test of the build's prefix shares it while ctest runs tests
// side by side. A test that changes it, or whose result depends on it, holds it for its whole run;
// the value found at the start is put back at the end.
#pragma once

#include <optional>
#include <string>

#include "base/named_mutex.h"

class WindowsBuildSetting {
public:
    WindowsBuildSetting();  // waits until no other test holds the setting
    ~WindowsBuildSetting();
    WindowsBuildSetting(const WindowsBuildSetting&) = delete;
    WindowsBuildSetting& operator=(const WindowsBuildSetting&) = delete;

    // Writes the text as the value; the registry's result code.
    long Write(const std::wstring& build);

private:
    NamedMutexLock m_lock{L"TorvexTests.WindowsBuildSetting", INFINITE};
    std::optional<std::wstring> m_found;
};
