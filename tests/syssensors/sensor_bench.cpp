#include "sensor_bench.h"

#include <windows.h>

#include <algorithm>

std::string SdkMachine(const std::string& devices, const std::string& members) {
    return R"({"cpuidsdk": {)" + members + (members.empty() ? "" : ", ") + R"("devices": [)" + devices + "]}}";
}

SdkFolders::SdkFolders(std::initializer_list<const wchar_t*> stubFolders)
    : m_root(std::filesystem::temp_directory_path() / (L"tvx-sdk-" + std::to_wstring(GetCurrentProcessId()))),
      m_savedFolder(std::filesystem::current_path()) {
    std::filesystem::create_directories(m_root / L"x" / L"y" / L"z");
    std::filesystem::current_path(m_root / L"x" / L"y" / L"z");
    for (const wchar_t* folder : stubFolders) {
        std::filesystem::create_directories(folder);
        EXPECT_TRUE(CopyFileW((FromUtf8(TORVEX_BENCH_BIN "/") + SdkFile()).c_str(), StubPath(folder).c_str(), FALSE));
    }
}

SdkFolders::~SdkFolders() {
    std::filesystem::current_path(m_savedFolder);
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
}

std::wstring SdkFolders::StubPath(const wchar_t* folder) {
    return (std::filesystem::current_path() / folder / SdkFile()).lexically_normal().wstring();
}

void SensorTest::LoadMachine(const std::string& scenario) {
    ASSERT_EQ(0, TorvexBench_LoadScenarioText(scenario.c_str())) << TorvexBench_LastError();
    if (!folders) SetCurrentDirectoryW(FromUtf8(TORVEX_BENCH_BIN).c_str());
    module.emplace();
}

std::vector<SensorRecord> SensorTest::Query() {
    std::vector<SensorRecord> records(std::max(0, module->api().Get_Systerm_Sensor_Count()));
    int32_t count = -1;
    SensorRecord* array = records.data();
    EXPECT_EQ(0, module->api().Get_Sensor_RealTime_Data(&count, &array));
    EXPECT_EQ(static_cast<int32_t>(records.size()), count);
    return records;
}

int SensorTest::SetEnabled(const std::vector<std::pair<int32_t, uint8_t>>& numbersAndStates) {
    std::vector<SensorRecord> given(numbersAndStates.size());
    for (size_t i = 0; i < given.size(); ++i) {
        given[i].nNumber = numbersAndStates[i].first;
        given[i].bEnabled = numbersAndStates[i].second;
    }
    int32_t count = static_cast<int32_t>(given.size());
    return module->api().Set_Sensor_Status(&count, given.data());
}

void SensorTest::TearDown() {
    // The module keeps a started SDK to the end; the files can go once the stand-in is unloaded.
    module.reset();
    while (HMODULE sdk = GetModuleHandleW(SdkFile())) FreeLibrary(sdk);
    folders.reset();
}

