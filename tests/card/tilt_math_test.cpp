#include "tilt_math.h"

#include <gtest/gtest.h>

#include "float_bits.h"

namespace {

constexpr int16_t kOneG = 4096;

void ExpectDegrees(int16_t x, int16_t y, int16_t z, float ex, float ey, float ez) {
    const TiltComputation c = ComputeTilt(x, y, z);
    EXPECT_EQ(Bits(ex), Bits(c.fDegrees[kTiltX])) << "X angle " << c.fDegrees[kTiltX];
    EXPECT_EQ(Bits(ey), Bits(c.fDegrees[kTiltY])) << "Y angle " << c.fDegrees[kTiltY];
    EXPECT_EQ(Bits(ez), Bits(c.fDegrees[kTiltZ])) << "Z angle " << c.fDegrees[kTiltZ];
}

}  // namespace

TEST(TiltMath, PiIsOneUnitBelowTheNearestFloat) {
    EXPECT_EQ(0x40490FDAu, Bits(kTiltPi));
}

TEST(TiltMath, RightAnglesComeOutAsTheHostExpects) {
    // 90 degrees computed with the shortened pi is one unit above 90, and 180 one unit above 180.
    ASSERT_NE(Bits(90.0000076f), Bits(90.0f));
    ExpectDegrees(0, 0, kOneG, 0.0f, 0.0f, 0.0f);
    ExpectDegrees(kOneG, 0, 0, 90.0000076f, 0.0f, 90.0000076f);
    ExpectDegrees(kOneG, kOneG, 0, 45.0f, 45.0f, 90.0000076f);
    ExpectDegrees(0, 0, -kOneG, 0.0f, 0.0f, 180.000015f);
    ExpectDegrees(-kOneG, 0, 0, -90.0000076f, 0.0f, 90.0000076f);
}

TEST(TiltMath, EveryStepKeepsItsOwnWidthAndOrder) {
    // A reading off every axis: dividing by 4.1 in double, or multiplying by 180/pi as one
    // constant, moves X and Y by one unit.
    ExpectDegrees(1000, -2000, 3000, FromBits(0x41780593u), FromBits(0xC2013F03u), FromBits(0x4212CC02u));
}

TEST(TiltMath, RawReadingsAreClampedToOneGBeforeScaling) {
    const TiltComputation high = ComputeTilt(0x7FFF, 0, 0);
    EXPECT_EQ(4096.0f, high.fClamped[kTiltX]);
    EXPECT_EQ(Bits(90.0000076f), Bits(high.fDegrees[kTiltX]));

    const TiltComputation low = ComputeTilt(INT16_MIN, 5000, -4097);
    EXPECT_EQ(-4096.0f, low.fClamped[kTiltX]);
    EXPECT_EQ(4096.0f, low.fClamped[kTiltY]);
    EXPECT_EQ(-4096.0f, low.fClamped[kTiltZ]);
    EXPECT_EQ(4095.0f, ComputeTilt(4095, 0, 0).fClamped[kTiltX]);
}

TEST(TiltMath, ZeroMagnitudeGivesZeroAngles) {
    const TiltComputation c = ComputeTilt(0, 0, 0);
    EXPECT_FALSE(c.bTotalUsable);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Bits(0.0f), Bits(c.fDegrees[i])) << "axis " << i;
    }
    // A lone Z reading gives exactly 1 as its quotient, so its angle is 0 rather than a tiny
    // residue.
    const TiltComputation z = ComputeTilt(0, 0, kOneG);
    EXPECT_TRUE(z.bTotalUsable);
    EXPECT_EQ(1.0f, z.fQuotients[kTiltZ]);
}

TEST(TiltMath, SmoothingGivesTheNewAngleAndThePreviousResultEqualWeight) {
    EXPECT_EQ(15.0f, SmoothAngle(10.0f, kTiltFilterAlpha, 20.0f));
    EXPECT_EQ(90.0f, SmoothAngle(90.0f, kTiltFilterAlpha, 90.0f));
    EXPECT_EQ(-2.5f, SmoothAngle(5.0f, kTiltFilterAlpha, -10.0f));
    EXPECT_EQ(Bits(90.0000076f), Bits(SmoothAngle(90.0000076f, kTiltFilterAlpha, 90.0000076f)));
}
