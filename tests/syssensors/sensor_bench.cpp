#include "sensor_bench.h"

#include <windows.h>

#include <algorithm>

std::string SdkMachine(const std::string& devices, const std::string& members) {
    return R"({"cpuidsdk": {)" + members + (members.empty() ? "" : ", ") + R"("devices": [)" + devices + "]}}";
}

SdkFolders::SdkFolders(std::initializer_list<const wchar_t*> stubFolders) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    m_root = std::wstring(temp) + L"tvx-sdk-" + std::to_wstring(GetCurrentProcessId());
    for (const wchar_t* folder : {L"", L"\\x", L"\\x\\y", L"\\x\\y\\z", L"\\bin", L"\\x\\bin"})
        CreateDirectoryW((m_root + folder).c_str(), nullptr);
    wchar_t saved[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, saved);
    m_savedFolder = saved;
    SetCurrentDirectoryW((m_root + L"\\x\\y\\z").c_str());
    for (const wchar_t* folder : stubFolders) {
        m_files.push_back(Path(folder) + L"\\" + SdkFile());
        EXPECT_TRUE(CopyFileW((FromUtf8(TORVEX_BENCH_BIN "/") + SdkFile()).c_str(), m_files.back().c_str(), FALSE));
    }
}

SdkFolders::~SdkFolders() {
    SetCurrentDirectoryW(m_savedFolder.c_str());
    for (const std::wstring& file : m_files) DeleteFileW(file.c_str());
    for (const wchar_t* folder : {L"\\x\\bin", L"\\bin", L"\\x\\y\\z", L"\\x\\y", L"\\x", L""})
        RemoveDirectoryW((m_root + folder).c_str());
}

std::wstring SdkFolders::Path(const wchar_t* relative) const {
    wchar_t full[MAX_PATH];
    GetFullPathNameW(relative, MAX_PATH, full, nullptr);
    return full;
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

int64_t Counter(const char* name) { return TorvexBench_Counter(name); }
