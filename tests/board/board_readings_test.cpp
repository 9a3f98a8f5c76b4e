// Readings that depend on earlier calls: the power status's cache of the last good block, the
// usage-time stopwatch over the controller's counters, and the tilt sensor's smoothing.
#include <array>
#include <optional>

#include "board_bench.h"
#include "debug_capture.h"

TEST(BoardReadings, PowerStatusBridgesTwoFailedReadsWithTheLastGoodBlock) {
    LoadMachine(Gpu(1, 0x511, R"("0xFD": 7, "0x80": [46, 224, 19, 136, 46, 224, 3, 9])"));
    LoadedModule module;

    // Nothing to bridge with before the first good read, not even for a null record; then two failed
    // reads in a row get the last good block, whole as it was handed out (entries the module leaves
    // alone included), and a third is refused. A good read in between starts the count again. A
    // failed read for a null record, which would have been bridged, counts all the same.
    const struct { bool fail; int code; bool null; } steps[] = {{true, -2, true}, {false, 0, false}, {true, 0, false},
        {true, 0, false}, {true, -2, false}, {false, 0, false}, {true, 0, false}, {false, 0, false}, {true, -1, true},
        {true, 0, false}, {true, -2, false}};
    QLXSWPowerStatus good{};
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        if (steps[i].fail) {
            ASSERT_EQ(0, TorvexBench_FailRegister(0, kBoard, 0x80, 1, 0));
        }
        QLXSWPowerStatus status;
        std::memset(&status, steps[i].fail ? 0xEE : 0xCD, sizeof(status));
        const QLXSWPowerStatus before = status;
        EXPECT_EQ(steps[i].code, module->GetPowerStatus(1, steps[i].null ? nullptr : &status));
        if (!steps[i].fail) good = status;
        EXPECT_EQ(0, std::memcmp(steps[i].code == 0 ? &good : &before, &status, sizeof(status)));
    }
}

// The usage-time stopwatch of one board, driven through the exports.
class Stopwatch : public ::testing::Test {
protected:
    using Counters = std::array<uint32_t, 3>;

    void SetUp() override {
        LoadMachine(Gpu(1, 0x511, R"("0xFD": 7)"));
        module.emplace();
        Traffic();
    }

    Counters Reading() {
        Counters c{};
        EXPECT_EQ(0, (*module)->GetMileageLatestManual(1, &c[0], &c[1], &c[2]));
        return c;
    }
    int32_t State() {
        int32_t s = -7;
        EXPECT_EQ(0, (*module)->GetMileageStatus(1, &s));
        return s;
    }
    int Request(int32_t state) { return (*module)->SetMileage_Rec(1, state); }
    // Sets the controller's counters, then requests the state.
    void RequestAt(int32_t state, uint32_t first, uint32_t second, uint32_t third) {
        SetCounters(0, first, second, third);
        ASSERT_EQ(0, Request(state));
    }
    static int CounterReads() { return Count(Traffic(), "0:C0/12"); }

    DebugOutputCapture debug;
    std::optional<LoadedModule> module;
};

// A fresh one (stopped and reading zero, as torvexctl shows) accepts a stop and refuses a pause or
// an unknown state; then start, pause and record again, each stretch measured on the controller's
// counters.
TEST_F(Stopwatch, StretchesAddUpAndEachStepSaysSo) {
    EXPECT_EQ(0, Request(Stopped));
    for (int32_t refused : {int32_t{Paused}, 3, -1}) EXPECT_EQ(-1, Request(refused)) << refused;
    EXPECT_EQ(0, CounterReads());
    RequestAt(Recording, 100, 200, 300);
    EXPECT_TRUE(debug.Contains(L"Stoped --> Recording : 100  | 200  |300\r\n"));
    EXPECT_EQ(0, Request(Recording));  // already recording: the controller is not asked
    EXPECT_EQ(1, CounterReads());
    EXPECT_EQ(Recording, State());

    RequestAt(Paused, 110, 200, 305);
    EXPECT_TRUE(debug.Contains(L"Recording --->Paused : 10  | 0  |5\r\n"));
    EXPECT_TRUE(debug.Contains(L"Stoped T1 Reset : 110  | 200  |305 \r\n"));
    SetCounters(0, 999, 999, 999);
    EXPECT_EQ(Counters({10, 0, 5}), Reading());  // paused: the reading holds
    EXPECT_EQ(Paused, State());

    RequestAt(Recording, 150, 260, 305);
    SetCounters(0, 160, 260, 306);
    EXPECT_EQ(Counters({20, 0, 6}), Reading());  // recording: the running stretch is added
    EXPECT_TRUE(debug.Contains(L"Manual Temp : 10  | 0  |1\r\n"));
    EXPECT_TRUE(debug.Contains(L"Manual Paused : 10  | 0  |5\r\n"));

    // Stopping clears everything without reading the counters.
    Traffic();
    EXPECT_EQ(0, Request(Stopped));
    EXPECT_EQ(0, CounterReads());
    EXPECT_EQ(Counters({0, 0, 0}), Reading());
    EXPECT_EQ(Stopped, State());
    RequestAt(Recording, 170, 270, 310);
    EXPECT_EQ(Counters({0, 0, 0}), Reading()) << "a new recording starts from nothing";

    // The stop export adds the running stretch without starting a new one: a later reading counts
    // that stretch a second time.
    SetCounters(0, 180, 270, 311);
    EXPECT_EQ(0, (*module)->SetMileage_Rec_Stop(1));
    EXPECT_EQ(Recording, State());
    EXPECT_EQ(Counters({20, 0, 2}), Reading());
}

// X, Y, Z as big-endian 16-bit readings, then the status byte.
static void SetTilt(int16_t x, int16_t y, int16_t z, int status) {
    SetRegisters(0, 0x70, {(x >> 8) & 0xFF, x & 0xFF, (y >> 8) & 0xFF, y & 0xFF, (z >> 8) & 0xFF, z & 0xFF, status});
}

static void ExpectAngles(const GSensorData& data, float x, float y, float z) {
    EXPECT_EQ(Bits(x), Bits(data.fXsign)) << data.fXsign;
    EXPECT_EQ(Bits(y), Bits(data.fYsign)) << data.fYsign;
    EXPECT_EQ(Bits(z), Bits(data.fZsign)) << data.fZsign;
}

// Two boards; the second lacks one of the four presence registers, so it has no tilt sensor.
class TiltSensor : public ::testing::Test {
protected:
    void SetUp() override {
        LoadMachine(Gpu(1, 0x511, R"("0xFD": 7)") + "," + Gpu(2, 0x511, R"("0xFD": 7)"));
        ASSERT_EQ(0, TorvexBench_FailRegister(1, kBoard, 0x4E, -1, 0));
        module.emplace();
    }

    int Read(GSensorData* raw, GSensorData* filtered) { return (*module)->Get_GSensor_Data(1, raw, filtered); }

    std::optional<LoadedModule> module;
};

// The one transcript of a reading's diagnostics, from the angles the caller passed in to the
// smoothed ones handed back.
TEST_F(TiltSensor, ReadingReadsStatusThenAxesAndReportsEveryStepOfTheComputation) {
    SetTilt(0, 0, -0x1000, 0x3F);
    GSensorData raw{}, filtered{};
    raw.fXsign = 1.5f;
    raw.fYsign = -2.25f;
    raw.fZsign = 3.0f;
    DebugOutputCapture debug;
    Traffic();
    ASSERT_EQ(0, Read(&raw, &filtered));
    // The status first, then the axes one register at a time.
    EXPECT_EQ(Strings({"0:76", "0:70", "0:71", "0:72", "0:73", "0:74", "0:75"}), Traffic());
    const std::vector<std::wstring> expected = {
        L"GetSensorData start",
        L"Before GetSensorData: fXsign = 1.50000, fYsign = -2.25000, fZsign = 3.00000",
        L"[g-sensor] [raw sensor data] uData0=0x3F, uData1=0x00, uData2=0x00, uData3=0x00, uData4=0x00, "
        L"uData5=0xF0, uData6=0x00",
        L"[g-sensor] [intermediate values] iX=0, iY=0, iZ=61440, x=0, y=0, z=-4096",
        L"[g-sensor] [primary data] fXsign = 0.00000  fYsign = 0.00000  fZsign = -4096.00000",
        L"[g-sensor] [pre-division] fXsign=0.00000, fYsign=0.00000, fZsign=-4096.00000, divisor=4.1f",
        L"[g-sensor] [post-division] fXsign=0.00000, fYsign=0.00000, fZsign=-999.02441",
        L"[g-sensor] [total calculation] total=999.02441, fXsign^2=0.00000, fYsign^2=0.00000, fZsign^2=998049.75000",
        L"[g-sensor] [division results] fXsign/total=0.00000, fYsign/total=0.00000, fZsign/total=-1.00000",
        L"[g-sensor] [complete square difference formula] fXsign = 0.00000  fYsign = 0.00000  fZsign = 180.00002",
        L"[g-sensor] [filter] fXsign = 0.00000  fYsign = 0.00000  fZsign = 180.00002",
        L"",
        L"After GetSensorData: fXsign = 0.00000, fYsign = 0.00000, fZsign = 180.00002",
        L"GetSensorData end",
    };
    EXPECT_EQ(expected, debug.Lines());
    EXPECT_EQ(-0x1000, raw.iZ);
}

// The smoothing is one state for the whole module: the first reading after load passes through
// (the transcript above shows it), every later one meets the previous result halfway.
TEST_F(TiltSensor, LaterReadingsAreSmoothedFromClampedAxes) {
    GSensorData raw{}, filtered{};
    SetTilt(0, 0, -0x1000, 0);
    // A reading without the smoothed record is taken all the same: the next one is smoothed with it.
    EXPECT_EQ(-1, Read(&raw, nullptr));
    // Beyond one g the reading is clamped for the angles but handed out as read.
    SetTilt(0x7FFF, 0, 0, 0);
    ASSERT_EQ(0, Read(&raw, &filtered));
    EXPECT_EQ(0x7FFF, raw.iX);
    ExpectAngles(raw, 90.0000076f, 0.0f, 90.0000076f);
    ExpectAngles(filtered, 45.0000038f, 0.0f, 135.000015f);
    ASSERT_EQ(0, Read(&raw, &filtered));
    ExpectAngles(filtered, 67.5000076f, 0.0f, 112.500015f);
    // Both records are the same reading apart from the angles.
    EXPECT_EQ(raw.iX, filtered.iX);
    EXPECT_EQ(raw.nStatus3, filtered.nStatus3);
}

TEST_F(TiltSensor, BoardWithoutTheSensorReportsItAbsentAndTheOtherPassesStatusBits0To5OneByOne) {
    BoardOutputs o;
    EXPECT_EQ(-1, (*module)->Get_GSensor_Data(2, &o.raw, &o.filtered));
    EXPECT_TRUE(o.Untouched());
    for (int id : {1, 2}) {
        EXPECT_EQ(2 - id, (*module)->Check_GSensor_Support(id, &o.flag)) << id;
        EXPECT_EQ(2 - id, o.flag) << id;
    }
    for (int status : {0x3F, 0x21, 0x12, 0xC0}) {  // bits 6 and 7 are not passed on
        SetTilt(0, 0, 0x1000, status);
        GSensorData raw{}, filtered{};
        ASSERT_EQ(0, Read(&raw, &filtered));
        const int passed[] = {raw.nStatus0, raw.nStatus1, raw.nStatus2, raw.nStatus3, raw.nStatus4, raw.nStatus5};
        for (int bit = 0; bit < 6; ++bit) EXPECT_EQ((status >> bit) & 1, passed[bit]) << status << ", bit " << bit;
    }
}
