// The tilt sensor through the exports: presence, angles, the module-wide smoothing over
// consecutive calls, and the diagnostics around each reading.
#include <gtest/gtest.h>

#include "../card/float_bits.h"
#include "board_bench.h"
#include "debug_capture.h"
#include "loaded_module.h"
#include "poisoned.h"

namespace {

// X, Y, Z as big-endian 16-bit readings, then the status byte.
void SetTilt(int gpuIndex, int16_t x, int16_t y, int16_t z, int status) {
    SetBoardRegisters(gpuIndex, 0x70, {(x >> 8) & 0xFF, x & 0xFF, (y >> 8) & 0xFF, y & 0xFF, (z >> 8) & 0xFF, z & 0xFF,
                                       status});
}

void ExpectAngles(const GSensorData& data, float x, float y, float z) {
    EXPECT_EQ(Bits(x), Bits(data.fXsign)) << data.fXsign;
    EXPECT_EQ(Bits(y), Bits(data.fYsign)) << data.fYsign;
    EXPECT_EQ(Bits(z), Bits(data.fZsign)) << data.fZsign;
}

}  // namespace

TEST(BoardTilt, AnglesAreSmoothedAcrossConsecutiveReadings) {
    // The second board lacks one of the four presence registers, so it has no tilt sensor.
    LoadNvidiaMachine({{1, CapabilityBoard(0x511, 0x07)}, {2, CapabilityBoard(0x511, 0x07).Unreadable("0x4E")}});
    LoadedModule module;

    uint8_t present = 0xCD;
    EXPECT_EQ(1, module->Check_GSensor_Support(1, &present));
    EXPECT_EQ(1, present);
    present = 0xCD;
    EXPECT_EQ(0, module->Check_GSensor_Support(2, &present));
    EXPECT_EQ(0, present);
    Poisoned<GSensorData> noRaw, noFiltered;
    EXPECT_EQ(-1, module->Get_GSensor_Data(2, noRaw.get(), noFiltered.get()));
    EXPECT_TRUE(noRaw.Untouched() && noFiltered.Untouched());

    // The first reading after load passes through the filter unchanged.
    SetTilt(0, 0x1000, 0, 0, 0x21);
    GSensorData raw{}, filtered{};
    ASSERT_EQ(0, module->Get_GSensor_Data(1, &raw, &filtered));
    ExpectAngles(raw, 90.0000076f, 0.0f, 90.0000076f);
    ExpectAngles(filtered, 90.0000076f, 0.0f, 90.0000076f);
    EXPECT_EQ(0x1000, raw.iX);
    EXPECT_EQ(1, raw.nStatus5);
    EXPECT_EQ(0, raw.nStatus4 | raw.nStatus3 | raw.nStatus2 | raw.nStatus1);
    EXPECT_EQ(1, raw.nStatus0);
    EXPECT_EQ(0, raw.iReserved0);

    // Later readings meet the previous result halfway.
    SetTilt(0, 0, 0, 0x1000, 0x00);
    ASSERT_EQ(0, module->Get_GSensor_Data(1, &raw, &filtered));
    ExpectAngles(raw, 0.0f, 0.0f, 0.0f);
    ExpectAngles(filtered, FromBits(0x42340001u), 0.0f, FromBits(0x42340001u));
    EXPECT_EQ(0, raw.nStatus5 | raw.nStatus0);

    // A raw reading beyond 1 g is clamped for the angles but handed out as read.
    SetTilt(0, 0x7FFF, 0, 0, 0xC0);
    ASSERT_EQ(0, module->Get_GSensor_Data(1, &raw, &filtered));
    ExpectAngles(raw, 90.0000076f, 0.0f, 90.0000076f);
    ExpectAngles(filtered, FromBits(0x42870001u), 0.0f, FromBits(0x42870001u));
    EXPECT_EQ(0x7FFF, raw.iX);
    EXPECT_EQ(0, raw.nStatus5 | raw.nStatus0);  // bits 6 and 7 are not passed on
    // Both records are the same reading apart from the angles.
    EXPECT_EQ(raw.iX, filtered.iX);
    EXPECT_EQ(raw.nStatus3, filtered.nStatus3);
}

TEST(BoardTilt, EachReadingIsReportedStepByStep) {
    LoadNvidiaMachine({{1, CapabilityBoard(0x511, 0x07)}});
    LoadedModule module;
    SetTilt(0, 0, 0, -0x1000, 0x3F);
    DebugOutputCapture debug;

    GSensorData raw{}, filtered{};
    raw.fXsign = 1.5f;
    raw.fYsign = -2.25f;
    raw.fZsign = 3.0f;
    ASSERT_EQ(0, module->Get_GSensor_Data(1, &raw, &filtered));
    ExpectAngles(raw, 0.0f, 0.0f, 180.000015f);

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
}
