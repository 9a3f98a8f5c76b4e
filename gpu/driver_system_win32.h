// The real DriverSystem: this process's Windows, one small function per call. Registry, SetupAPI
// and shell functions come from the system libraries loaded by full path (gpu/system_libraries.h).
#pragma once

#include "gpu/driver_system.h"

class Win32DriverSystem : public DriverSystem {
public:
    std::optional<RegistryValue> ReadMachineValue(const std::wstring& key, const std::wstring& name) override;
    std::vector<std::wstring> MachineValueNames(const std::wstring& key) override;
    std::optional<DisplayAdapter> FirstDisplayAdapter(
        const std::function<bool(const std::wstring& interfacePath)>& accept) override;
    std::optional<std::wstring> DriverStoreInfPath(const std::wstring& infName) override;
    std::optional<uint32_t> FileAttributes(const std::wstring& path) override;
    std::optional<std::wstring> FullPathName(const std::wstring& path) override;
    std::wstring SystemDirectory() override;
    std::wstring FolderPath(KnownFolder folder) override;
    std::optional<std::wstring> EnvironmentVariable(const std::wstring& name) override;
    std::optional<bool> IsWow64Process() override;
    bool IsWindows7OrLater() override;
    LoadedLibrary LoadLibraryFile(const std::wstring& path) override;
};
