// How the controller's firmware version decides what a board offers: the probe at load, the two
// version checks and the gates they feed, with the I2C traffic each step makes.
#include <optional>
#include <regex>

#include "board_bench.h"
#include "debug_capture.h"
#include "stdout_capture.h"

namespace {

int CountLines(const DebugOutputCapture& debug, const wchar_t* pattern) {
    int count = 0;
    for (const std::wstring& line : debug.Lines()) count += std::regex_match(line, std::wregex(pattern));
    return count;
}

// Loads the module on a machine and keeps what its load did.
class LoadedBoards : public ::testing::Test {
protected:
    void Load(const std::string& gpus) {
        LoadMachine(gpus);
        module.emplace();
        loadTraffic = Traffic();
        loadOutput = out.Finish();
    }

    DebugOutputCapture debug;
    StdoutCapture out;
    std::optional<LoadedModule> module;
    Strings loadTraffic;
    std::string loadOutput;
};

// A board whose firmware (0x511) reports its capability byte, 7: totals, power status, thermal
// map. Thermal word w4, sensor 4's, is negative: that sensor is left as it was. Counters 10, 20,
// 30, kept last first.
class CapabilityFirmware : public LoadedBoards {
protected:
    void SetUp() override {
        Load(Gpu(1, 0x511, R"("0xFD": 7,
            "0x60": [2, 138, 0, 100, 1, 144, 255, 236, 128, 0, 1, 164, 127, 255, 0, 0],
            "0x80": [238, 238, 48, 57, 238, 238, 39, 15, 238, 238, 0, 45, 238, 238, 195, 80,
                     238, 238, 3, 9, 238, 238, 19, 136],
            "0xC0": [0, 0, 0, 30, 0, 0, 0, 20, 0, 0, 0, 10])"));
    }
};

TEST_F(CapabilityFirmware, ProbesAtLoadReadCapabilitiesAndTiltSensorThenChecksReadTheVersionAndReadingsABlock) {
    // The temporary record probes the controller only; the registry's copy also the tilt sensor.
    // Each probe that finds the controller makes two drivers, each reading its counter baseline.
    EXPECT_EQ(Strings({"0:1E", "0:1F", "0:FC", "0:FD", "0:C0/12", "0:C0/12", "0:1E", "0:1F", "0:FC", "0:FD",
                       "0:C0/12", "0:C0/12", "0:4C", "0:4D", "0:4E", "0:4F"}),
              loadTraffic);
    EXPECT_EQ("", loadOutput);
    EXPECT_EQ(0, CountLines(debug, L"m_bSupportMPT :.*"));
    EXPECT_EQ(1, CountLines(debug, L"CBMI321 :1 .*X "));

    // The decoding is checked natively and the static board's values and checks through torvexctl;
    // here what the checks read, that each block arrives from one read, that the entries the
    // decoding leaves alone stay untouched in the caller's record, and that the latest usage time
    // wraps at 32 bits.
    BoardOutputs o;
    EXPECT_EQ(0, (*module)->Check_Function_Support(1, &o.support));
    EXPECT_EQ(0, (*module)->Check_MTPD_Support(1, &o.flag));
    EXPECT_EQ(Strings({"0:1E", "0:1F", "0:FC", "0:FD", "0:1E", "0:1F"}), Traffic());
    ASSERT_EQ(0, (*module)->GetThermalMap(1, &o.map));
    EXPECT_TRUE(Untouched(o.map.fValue[3], o.map.fValue[4]));
    ASSERT_EQ(0, (*module)->GetPowerStatus(1, &o.power));
    EXPECT_TRUE(Untouched(o.power.fValue[6]));
    EXPECT_EQ(6, o.power.nCount);
    ASSERT_EQ(0, (*module)->GetMileageTotalTime(1, &o.first, &o.second, &o.third));
    SetCounters(0, 15, 20, 29);
    ASSERT_EQ(0, (*module)->GetMileageLatestTime(1, &o.first, &o.second, &o.third));
    EXPECT_EQ(std::vector<uint32_t>({5, 0, 0xFFFFFFFF}), std::vector<uint32_t>({o.first, o.second, o.third}));
    EXPECT_EQ(Strings({"0:60/16", "0:80/24", "0:C0/12", "0:C0/12"}), Traffic());
}

// The stopwatch's reading too, once it records.
TEST_F(CapabilityFirmware, FailedReadsWriteNothing) {
    ASSERT_EQ(0, (*module)->SetMileage_Rec(1, Recording));
    ASSERT_EQ(0, TorvexBench_FailRegister(0, kBoard, 0x60, 1, 0));
    ASSERT_EQ(0, TorvexBench_FailRegister(0, kBoard, 0xC4, 3, 0));
    BoardOutputs o;
    EXPECT_EQ(-1, (*module)->GetThermalMap(1, &o.map));
    EXPECT_EQ(-1, (*module)->GetMileageTotalTime(1, &o.first, &o.second, &o.third));
    EXPECT_EQ(-1, (*module)->GetMileageLatestTime(1, &o.first, &o.second, &o.third));
    EXPECT_EQ(-1, (*module)->GetMileageLatestManual(1, &o.first, &o.second, &o.third));
    EXPECT_TRUE(o.Untouched());
}

TEST_F(CapabilityFirmware, ReadingsNeedAReadableVersionAbove328AndKeepTheProbedCapabilities) {
    // An unreadable high byte leaves version 0x0011 in the record, below every gate.
    ASSERT_EQ(0, TorvexBench_FailRegister(0, kBoard, 0x1F, -1, 0));
    BoardOutputs o;
    EXPECT_EQ(-2, (*module)->Check_Function_Support(1, &o.support));
    EXPECT_EQ(-1, (*module)->GetThermalMap(1, &o.map));
    EXPECT_TRUE(o.Untouched());
    EXPECT_EQ(-2, (*module)->Check_MTPD_Support(1, &o.flag));
    EXPECT_EQ(0, o.flag);

    ASSERT_EQ(0, TorvexBench_FailRegister(0, kBoard, 0x1F, 0, 0));
    EXPECT_EQ(0, (*module)->Check_Function_Support(1, &o.support));
    EXPECT_EQ(0x511u, o.support.nVersion);
    EXPECT_EQ(0, (*module)->GetThermalMap(1, &o.map));

    // The readings need a version above 328. Older version words are refused by the check but
    // keep the capability bits the probe loaded.
    SetRegisters(0, 0x1E, {0x49, 0x01});
    EXPECT_EQ(-1, (*module)->Check_Function_Support(1, &o.support));
    EXPECT_EQ(0, (*module)->GetThermalMap(1, &o.map));
    SetRegisters(0, 0x1E, {0x48, 0x01});
    EXPECT_EQ(-1, (*module)->Check_Function_Support(1, &o.support));
    EXPECT_EQ(-1, (*module)->GetThermalMap(1, &o.map));
    EXPECT_EQ(-1, (*module)->GetPowerStatus(1, &o.power));
    EXPECT_EQ(-1, (*module)->GetMileageTotalTime(1, &o.first, &o.second, &o.third));
}

// Firmware up to 0x510 identifies itself with 0x15, 0x89 in registers 0x20, 0x21 and prints the
// first byte. Bus 1: 0x510 with register 0xFD = 0x35; bus 2: 0x400 with a wrong second byte;
// bus 3: 0x400 with a wrong first byte; bus 4: 0x50A; bus 5: 0x4FF.
class IdentifyingFirmware : public LoadedBoards {
protected:
    void SetUp() override {
        Load(Gpu(1, 0x510, R"("0x20": [21, 137], "0xFD": 53)") + "," + Gpu(2, 0x400, R"("0x20": [21, 66])") + "," +
             Gpu(3, 0x400, R"("0x20": [22, 137])") + "," + Gpu(4, 0x50A, R"("0x20": [21, 137])") + "," +
             Gpu(5, 0x4FF, R"("0x20": [21, 137])"));
    }
};

TEST_F(IdentifyingFirmware, EveryProbePrintsTheFirstIdentificationByteAndReadsNoCapabilities) {
    // Each append probes the new GPU's temporary and copy, then the moved records in order.
    EXPECT_EQ("15 15 15 15 15 16 16 15 15 15 15 15 15 16 15 15 15 15 16 15 ",
              std::regex_replace(loadOutput, std::regex("0xB2 = (\\w+)\n"), "$1 "));
    // One line per successful identification: GPU 0's six probes, GPU 3's three, GPU 4's two.
    EXPECT_EQ(11, CountLines(debug, L"m_bSupportMPT :1 .*X "));
    // The probes read no capabilities and make no driver for a failed identification.
    EXPECT_EQ(0, Count(loadTraffic, "0:FD"));
    EXPECT_EQ(5, Count(loadTraffic, "1:21"));
    EXPECT_EQ(0, Count(loadTraffic, "2:21"));
    EXPECT_EQ(0, Count(loadTraffic, "1:C0/12") + Count(loadTraffic, "2:C0/12"));
}

TEST_F(IdentifyingFirmware, OnlyTheStopwatchAnswersUntilChecksTakeBits0To3From0x510AndAllFourFrom0x500) {
    // Until a check loads them, an identified board has no capabilities and only its stopwatch
    // answers; a board that failed to identify itself has not even that.
    for (int id : {1, 2, 3}) {
        SCOPED_TRACE(id);
        const int stopwatch = id == 1 ? 0 : -1;
        BoardOutputs o;
        EXPECT_EQ(-1, (*module)->GetThermalMap(id, &o.map));
        EXPECT_EQ(-1, (*module)->GetMileageTotalTime(id, &o.first, &o.second, &o.third));
        EXPECT_TRUE(o.Untouched());
        EXPECT_EQ(stopwatch, (*module)->GetMileageLatestTime(id, &o.first, &o.second, &o.third));
        EXPECT_EQ(stopwatch, (*module)->GetMileageStatus(id, &o.state));
        EXPECT_EQ(stopwatch, (*module)->SetMileage_Rec(id, Recording));
        if (stopwatch == 0) {
            EXPECT_EQ(Stopped, o.state);
        } else {
            EXPECT_TRUE(o.Untouched());
        }
    }
    const struct { int id, code; uint32_t function; } checks[] = {
        {1, 0, 5}, {2, -1, 0}, {3, -1, 0}, {4, 0, 0xF}, {5, -1, 0}};
    for (const auto& check : checks) {
        SCOPED_TRACE(check.id);
        BoardOutputs o;
        EXPECT_EQ(check.code, (*module)->Check_Function_Support(check.id, &o.support));
        if (check.code == 0) {
            EXPECT_EQ(check.function, o.support.nFunction);
            EXPECT_EQ(check.id == 1 ? 0x510u : 0x50Au, o.support.nVersion);
        } else {
            EXPECT_TRUE(o.Untouched());
        }
        EXPECT_EQ(check.code, (*module)->Check_MTPD_Support(check.id, &o.flag));
        EXPECT_EQ(check.code == 0, o.flag);
    }
    // The gates follow what the check loaded, 0x35 for board 1: thermal map, no power status.
    BoardOutputs o;
    EXPECT_EQ(-1, (*module)->GetPowerStatus(1, &o.power));
    EXPECT_TRUE(o.Untouched());
    EXPECT_EQ(0, (*module)->GetThermalMap(1, &o.map));
}

}  // namespace
