// torvexctl sensors as a user runs it, from the folder that holds the bench's cpuidsdk.dll.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sstream>

#include "module_exports.h"
#include "program_run.h"

using nlohmann::json;

namespace {

// The module finds the SDK relative to the current folder, which torvexctl inherits.
ProgramRun Sensors(const std::vector<std::string>& args) {
    SetCurrentDirectoryW(FromUtf8(TORVEX_BENCH_BIN).c_str());
    std::vector<std::string> all = {"sensors"};
    all.insert(all.end(), args.begin(), args.end());
    return Torvexctl("sensors_pc.json", all);
}

}  // namespace

TEST(TorvexctlSensors, TableGroupsByDeviceAndCategoryAndSwitchesSensors) {
    // Switching a sensor takes a query before and one after: the fan stays at its first reading,
    // the temperatures show their second.
    const ProgramRun table = Sensors({"--first", "100", "--disable", "MB-Fan-FANIN0"});
    ASSERT_EQ(0u, table.code) << table.err;
    EXPECT_EQ("Test CPU (device 0) CPU-Temp 100 CPU-Temp-Core_0 42.0 \xC2\xB0" "C 0.0 .. 130.0 "
              "101 CPU-Temp-Core_1 42.0 \xC2\xB0" "C 0.0 .. 130.0 "
              "CPU-Clocks 102 CPU-Clocks-Bus 100.0 MHz 0.0 .. 6000.0 "
              "Test Board (device 1) MB-volts 103 MB-volts-12V 12.125 V 0.0 .. 14.0 "
              "MB-Fan 104 MB-Fan-FANIN0 950.0 RPM 0.0 .. 6000.0 (disabled) ",
              Flat(table.out));
    EXPECT_EQ("", table.err) << "the module's own lines go nowhere";

    const ProgramRun unknown = Sensors({"--enable", "CPU-Temp-Core", "--match", "temp"});
    EXPECT_EQ(kRefusedExit, unknown.code);
    EXPECT_TRUE(Contains(unknown.err, "no sensor is named \"CPU-Temp-Core\""));
    EXPECT_EQ(0u, Flat(unknown.out).find("Test CPU (device 0) CPU-Temp 0 CPU-Temp-Core_0")) << unknown.out;
}

TEST(TorvexctlSensors, JsonCarriesEveryFieldOfTheShownSensors) {
    const ProgramRun run = Sensors({"--json", "--match", "board"});
    ASSERT_EQ(0u, run.code) << run.err;
    const json sensors = json::parse(run.out)["sensors"];
    ASSERT_EQ(2u, sensors.size());
    EXPECT_EQ(json::parse(R"({"number": 3, "display_name": "MB-volts-12V", "name": "+12V", "device": "Test Board",
        "device_index": 1, "category": "MB-volts", "key": "MB-volts-12V", "group": 2, "group_ordinal": 0,
        "class_ordinal": 2, "sensor_index": 0, "id": {"high": 1, "class": 1, "low": 0}, "raw": 0, "value": 12.125,
        "min": 0.0, "max": 14.0, "unit": "V", "enabled": true})"),
              sensors[0]);
}

TEST(TorvexctlSensors, CsvLogsOneRowPerQueryUnderStableColumns) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring path = temp + (L"tvx-sensors-" + std::to_wstring(GetCurrentProcessId()) + L".csv");
    const ProgramRun run = Sensors({"--csv", ToUtf8(path), "--interval", "0", "--count", "3", "--match", "CPU-Temp"});
    ASSERT_EQ(0u, run.code) << run.err;
    EXPECT_TRUE(Contains(run.out, "3 rows of 2 sensors written to"));
    std::istringstream lines(ReadTextFile(path));
    DeleteFileW(path.c_str());
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ("time,CPU-Temp-Core_0,CPU-Temp-Core_1", line);
    // After the time, the readings of the query. (Which reading each query shows: the catalogue tests.)
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(23u, line.find(",41.0,41.0")) << line;
}
