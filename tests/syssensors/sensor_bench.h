// The bench machines of the sensor tests and what the tests observe of the module through the four
// sensor exports. The module looks for the SDK's library relative to the current folder, so each
// test chooses that folder and where the bench's stand-in lies.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "TorvexBench.h"
#include "loaded_module.h"
#include "pipe_turn.h"
#include "vendor/vendor_names.h"

// A "cpuidsdk" section with these devices (comma-separated JSON objects) and further members.
std::string SdkMachine(const std::string& devices, const std::string& members = "");

// A folder tree of the test's own, T\x\y\z, made the current folder, with copies of the SDK
// stand-in in the folders named relative to it ("." or "..\..\..\bin"). Removed at the end, after
// the module and the stand-in are unloaded.
class SdkFolders {
public:
    explicit SdkFolders(std::initializer_list<const wchar_t*> stubFolders);
    ~SdkFolders();
    SdkFolders(const SdkFolders&) = delete;
    SdkFolders& operator=(const SdkFolders&) = delete;

    // The full path of the stand-in's copy in a folder named relative to the current one.
    static std::wstring StubPath(const wchar_t* folder);

private:
    const std::filesystem::path m_root;
    const std::filesystem::path m_savedFolder;
};

class SensorTest : public ::testing::Test {
protected:
    // Chooses the machine, then loads the module; the stand-in is found in the current folder
    // unless the test has set up SdkFolders of its own.
    void LoadMachine(const std::string& scenario);
    int Start(int firstNumber = 0) { return module->api().GetSystermSensorInfo(firstNumber); }
    // A real-time query that must succeed.
    std::vector<SensorRecord> Query();
    int SetEnabled(const std::vector<std::pair<int32_t, uint8_t>>& numbersAndStates);
    void TearDown() override;

    // A start that fails lets the helper go, over the pipe every test shares.
    PipeTurn pipeTurn;
    std::optional<SdkFolders> folders;
    std::optional<LoadedModule> module;
};

// The SDK's file name in this build's width.
inline const wchar_t* SdkFile() { return vendor::kLibraryNames.cpuidSdk.wide; }
inline std::string SdkFileUtf8() { return vendor::kLibraryNames.cpuidSdk.narrow; }
// UTF-8 text of a record field.
template <size_t N>
std::string Text(const TorvexWChar (&field)[N]) {
    std::wstring wide;
    for (size_t i = 0; i < N && field[i]; ++i) wide += field[i];
    return ToUtf8(wide);
}
