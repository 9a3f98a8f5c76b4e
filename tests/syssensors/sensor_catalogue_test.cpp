// The catalogue end to end: what the records hold after the build, how the real-time queries
// refresh them, the status export and hostile SDK answers. (Host threads at once:
// tests/module/threads_test.)
#include <windows.h>

#include "sensor_bench.h"
#include "stdout_capture.h"

namespace {

// Two processors (the second with a usage above 100), a motherboard without a name whose voltage
// names make one key come back after another and whose fan does not answer the second query's
// refresh, and a drive whose second temperature does not answer at the build. Lists of values are the SDK's readings
// in turn: the build sees the first, each refresh moves on.
const std::string kMachine = SdkMachine(R"(
    {"class": "processor", "name": "Vexon V9", "sensors": [
      {"class": "temperature", "name": "Core #{i}", "count": 2, "id": "0x00402000", "value": [45.6, 50.0, 55.0]},
      {"class": "utilization", "name": "Processor Utilization", "value": 100.2}]},
    {"class": "processor", "name": "Vexon V9", "sensors": [
      {"class": "temperature", "name": "Core #0", "value": 40.0},
      {"class": "utilization", "name": "Processor Utilization", "value": [100.7, 100.2]}]},
    {"class": "mainboard", "sensors": [
      {"class": "voltage", "name": "CPU VCORE", "value": 1.2},
      {"class": "voltage", "name": "CPU VCORE #1", "value": 1.3},
      {"class": "voltage", "name": "+5VSB", "value": 5.0},
      {"class": "voltage", "name": "CPU VCORE #2", "value": 1.4},
      {"class": "fan", "name": "FANIN0", "value": [900, 950, 1000], "answers": [true, true, false]}]},
    {"class": "storage", "name": "Nimbra \u00e9", "sensors": [
      {"class": "temperature", "name": "Assembly", "value": 33},
      {"class": "temperature", "name": "Sensor", "value": [30, 31, 32], "answers": [false, true]},
      {"class": "throughput", "name": "Read Rate", "value": 120.5}]})");

}  // namespace

TEST_F(SensorTest, RecordsCarryNamesGroupsUnitsAndNumbersFromTheBase) {
    LoadMachine(kMachine);
    ASSERT_EQ(0, Start(1000));
    const std::vector<SensorRecord> r = Query();
    ASSERT_EQ(12u, r.size()) << "the drive's second temperature did not answer at the build";

    const char* displays[] = {"CPU-Temp-Core_0", "CPU-Temp-Core_1", "CPU-Usage-ProcessorUsage", "CPU_1-Temp-Core",
                              "CPU_1-Usage-ProcessorUsage", "MB-volts-CPUVCORE_0", "MB-volts-CPUVCORE_1",
                              "MB-volts-5VSB", "MB-volts-CPUVCORE_1", "MB-Fan-FANIN0", "HD-Temp-Assembly",
                              "HD-ReadRate"};
    // The running ordinal starts again at every new key and rises at every key seen before, so a
    // key that comes back after another continues from that other key's ordinal.
    const int32_t groups[] = {0, 0, 1, 2, 3, 4, 4, 5, 4, 6, 7, 8};
    const int32_t classOrdinals[] = {0, 0, 1, 2, 3, 4, 4, 4, 4, 5, 6, 7};
    for (size_t i = 0; i < r.size(); ++i) {
        EXPECT_EQ(displays[i], Text(r[i].szDisplayName)) << i;
        EXPECT_EQ(1000 + static_cast<int32_t>(i), r[i].nNumber) << i;
        EXPECT_EQ(classOrdinals[i], r[i].nClassOrdinal) << i;
        EXPECT_EQ(groups[i], r[i].nGroup) << i;
    }
    EXPECT_EQ("Core #1", Text(r[1].szName));
    EXPECT_EQ("CPU-Temp", Text(r[1].szCategory));
    EXPECT_EQ("Processor Usage", Text(r[2].szName));
    EXPECT_EQ(0x001, r[1].nIdLow);
    EXPECT_EQ(2, r[1].nClassNumber);
    EXPECT_EQ(1, r[1].nSensorIndex);
    EXPECT_EQ("Vexon V9", Text(r[3].szDeviceName));
    EXPECT_EQ("Device 2", Text(r[7].szDeviceName)) << "a device the SDK gives no name";
    EXPECT_EQ("Nimbra \xC3\xA9", Text(r[10].szDeviceName)) << "converted from the ANSI code page";

    EXPECT_EQ("\xC2\xB0" "C", Text(r[0].szUnit));
    EXPECT_EQ(7.0f, r[7].fMax);
    // Utilisation above 100 is held at 100 on device 1 only, and only while it rounds to 100. The
    // unit is the build's: the second processor's first reading, 100.7, gave none.
    EXPECT_EQ(100.2f, r[2].fValue);
    EXPECT_EQ(100.0f, r[4].fValue);
    EXPECT_EQ("", Text(r[4].szUnit));
}

// Each query shows what the SDK read at the end of the query before, and the query finds a
// record by its number less the base.
TEST_F(SensorTest, QueriesShowTheLatestAnsweredReadingsAndFreeEveryString) {
    LoadMachine(kMachine);
    ASSERT_EQ(0, Start(1000));
    const float core0[] = {50.0f, 55.0f, 45.6f};
    // The fan, silent at the second refresh, keeps its last values.
    const float fan[] = {950.0f, 950.0f, 900.0f};
    const float secondUsage[] = {100.0f, 100.7f, 100.0f};
    for (int query = 0; query < 3; ++query) {
        const std::vector<SensorRecord> r = Query();
        EXPECT_EQ(core0[query], r[0].fValue) << query;
        EXPECT_EQ(fan[query], r[9].fValue) << query;
        EXPECT_EQ(secondUsage[query], r[4].fValue) << query;
    }
    // Every string the SDK handed out was freed exactly once.
    EXPECT_EQ(3 + 12 + 3 * 12 - 1, TorvexBench_Counter("sdk.strings")) << "device names, the build, the queries";
    EXPECT_EQ(TorvexBench_Counter("sdk.strings"), TorvexBench_Counter("sdk.strings_freed"));
    EXPECT_EQ(0, TorvexBench_Counter("sdk.strings_alive") + TorvexBench_Counter("sdk.strings_freed_twice"));
}

TEST_F(SensorTest, EveryReadingPrintsItsLineAndOnlyEnabledSensorsAreRead) {
    LoadMachine(SdkMachine(R"({"class": "processor", "sensors": [
        {"class": "temperature", "name": "Core #{i}", "count": 2, "id": "0x00402000", "value": [45.6, 50.0]},
        {"class": "fan", "name": "FAN", "id": "0x00403000", "value": 1234.7}]})"));
    StdoutCapture build;
    ASSERT_EQ(0, Start(7));
    const std::string range = "\t0 \xA1\xE3" "C  (32 oF)\t130 \xA1\xE3" "C  (266 oF)\n";
    const std::string fan = ">> 0x00403000, FAN, 1234 RPM\t0 RPM\t6000 RPM\n";
    EXPECT_EQ(">> 0x00402000, Core #0, 46 \xA1\xE3" "C  (114 oF)" + range + ">> 0x00402001, Core #1, 46 \xA1\xE3"
              "C  (114 oF)" + range + fan, build.Finish().substr(24));

    ASSERT_EQ(0, SetEnabled({{8, 0}}));
    StdoutCapture query;
    const std::vector<SensorRecord> r = Query();
    EXPECT_EQ(">> 0x00402000, Core #0, 50 \xA1\xE3" "C  (122 oF)" + range + fan, query.Finish());
    EXPECT_EQ(0, r[1].bEnabled);
    EXPECT_EQ(45.6f, r[1].fValue) << "a disabled sensor keeps the values it had";
    EXPECT_EQ(50.0f, r[0].fValue);
}

TEST_F(SensorTest, StatusSwitchesTheKnownNumbersAndReportsUnknownOnes) {
    LoadMachine(kMachine);
    ASSERT_EQ(0, Start(1000));
    EXPECT_EQ(-2, SetEnabled({{1000, 0}, {999, 0}, {1012, 0}, {1009, 7}, {1009, 0}}));
    std::vector<SensorRecord> r = Query();
    EXPECT_EQ(0, r[0].bEnabled) << "the known ones are applied despite the unknown";
    EXPECT_EQ(45.6f, r[0].fValue);
    EXPECT_EQ(900.0f, r[9].fValue) << "the last record given for a number wins";

    ASSERT_EQ(0, SetEnabled({{1000, 7}}));
    r = Query();
    EXPECT_EQ(1, r[0].bEnabled) << "the refresh writes 1 for any nonzero state";
    EXPECT_EQ(55.0f, r[0].fValue) << "re-read: the reading the SDK took at the end of the query before";
}

// Names without a terminator within their limit (twice, so that a suffix would follow a full key),
// bytes from 0x80 up, a null name, counts that lie, and a device count in the millions: the
// catalogue stays within its bounds.
TEST_F(SensorTest, HostileAnswersStayWithinTheCatalogueBounds) {
    const std::string longName(300, 'L');
    LoadMachine(SdkMachine(R"({"class": "processor", "classCounts": {"temperature": 1000000, "fan": -5},
        "sensorCount": -3, "sensors": [
          {"class": "temperature", "name": ")" + longName + R"("},
          {"class": "temperature", "name": ")" + longName + R"("},
          {"class": "temperature", "name": null},
          {"class": "temperature", "name": "Caf\u00e9 \u00ff\u0080"},
          {"class": "fan", "name": "F", "value": 900}]},
        {"class": 1234567, "name": ")" + longName + R"("})",
                           R"("deviceCount": 5000000)"));
    ASSERT_EQ(0, Start());
    EXPECT_EQ(1024, TorvexBench_Counter("sdk.device_class")) << "at most 1024 devices are taken";
    const std::vector<SensorRecord> r = Query();
    ASSERT_EQ(4u, r.size()) << "a count of 1000000 asks for sensors the SDK does not have";
    EXPECT_EQ(std::string(127, 'L'), Text(r[0].szName));
    EXPECT_EQ("CPU-Temp-" + std::string(118, 'L'), Text(r[0].szKey));
    EXPECT_EQ(Text(r[1].szKey), Text(r[1].szDisplayName)) << "the suffix falls past the field";
    EXPECT_EQ("", Text(r[2].szName));
    EXPECT_EQ("CPU-Temp-", Text(r[2].szKey));
    EXPECT_EQ("Caf\xC3\xA9 \xC3\xBF\xE2\x82\xAC", Text(r[3].szName)) << "0x80 is the euro sign in code page 1252";
    // One walk asks for at most 32768 sensors; the query asks only for those in the catalogue.
    EXPECT_EQ(32768 + 4, TorvexBench_Counter("sdk.sensor_info"));
    EXPECT_EQ(0, TorvexBench_Counter("sdk.strings_alive"));
}

// A count below 1 and a null array in the cell are the exports' own refusals (null pointers are
// refused before anything, tests/module): the query still refreshes and writes the count.
TEST_F(SensorTest, ACountBelowOneOrANullArrayIsRefused) {
    LoadMachine(kMachine);
    ASSERT_EQ(0, Start());
    const int64_t refreshes = TorvexBench_Counter("sdk.refresh");
    SensorRecord record{};  // number 0, disabled
    int32_t count = 0;
    EXPECT_EQ(-1, module->api().Set_Sensor_Status(&count, &record));
    EXPECT_EQ(1, Query()[0].bEnabled) << "nothing applied";
    SensorRecord* none = nullptr;
    EXPECT_EQ(-1, module->api().Get_Sensor_RealTime_Data(&count, &none));
    EXPECT_EQ(12, count);
    EXPECT_EQ(refreshes + 2, TorvexBench_Counter("sdk.refresh"));
}
