// An NVIDIA display adapter in the Wine prefix's registry, which SetupAPI then enumerates as it
// enumerates a real one: a present device with the display-adapter interface and a driver key
// under the display class, into which a test writes the driver's registrations. The device is
// root-enumerated because Wine rebuilds its PCI display devices from the host's GPUs whenever a
// desktop starts and would remove a PCI one. Everything is removed again at the end.
//
// Any test that starts the module while the build number reads 14308 or more sees the adapter, so
// the tests using it run alone (RUN_SERIAL) and hold the build setting meanwhile.
#pragma once

#include <string>
#include <vector>

#include "windows_build_setting.h"

class NvidiaAdapterRegistration {
public:
    // The adapter's interface path contains this, upper-cased.
    static constexpr wchar_t kDeviceInstance[] = L"ROOT\\TORVEXTEST&VEN_10DE&DEV_2684\\0000";

    explicit NvidiaAdapterRegistration(const WindowsBuildSetting& held);
    ~NvidiaAdapterRegistration();
    NvidiaAdapterRegistration(const NvidiaAdapterRegistration&) = delete;
    NvidiaAdapterRegistration& operator=(const NvidiaAdapterRegistration&) = delete;

    // A text-list value in the driver key, under its plain and its "Wow" name alike, so that the
    // search finds it whichever kind of Wine prefix runs the test.
    void Register(const std::wstring& value, const std::vector<std::wstring>& entries);

    // Copies the bench's NVAPI library from the system directory to `path` (its folder is created),
    // to be removed again at the end; false when the copy failed. The module keeps NVAPI loaded
    // for the life of the process, so a copy still loaded at the end is let go of first: the
    // module must be unloaded by then (declare this object before the LoadedModule).
    bool PlaceNvapiCopy(const std::wstring& path);

private:
    void Remove();
    std::vector<std::wstring> m_copies;
};
