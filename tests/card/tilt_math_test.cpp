#include "card/tilt_math.h"

#include <gtest/gtest.h>

#include "test_values.h"

namespace {

constexpr int16_t kOneG = 4096;

TEST(TiltMath, AnglesMatchTheHostBitForBit) {
    struct Case {
        int16_t x, y, z;
        uint32_t degrees[3];
    };
    // Pi is one unit below the nearest float, so 90 degrees comes out as 90.0000076 (0x42B40001).
    // (A single axis, clamping, smoothing and 180 degrees show in the board's tilt readings.)
    const Case cases[] = {
        {0, 0, kOneG, {0, 0, 0}},  // the quotient is exactly 1: no residue
        {kOneG, kOneG, 0, {Bits(45.0f), Bits(45.0f), 0x42B40001u}},
        {-kOneG, 0, 0, {0xC2B40001u, 0, 0x42B40001u}},
        {0, 0, 0, {0, 0, 0}},  // no magnitude, no angle
        // Dividing by 4.1 in double, or multiplying by 180/pi as one constant, moves X and Y by a unit.
        {1000, -2000, 3000, {0x41780593u, 0xC2013F03u, 0x4212CC02u}},
    };
    for (const Case& c : cases) {
        const TiltComputation t = ComputeTilt(c.x, c.y, c.z);
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_EQ(c.degrees[axis], Bits(t.fDegrees[axis]))
                << "(" << c.x << ", " << c.y << ", " << c.z << ") axis " << axis << ": " << t.fDegrees[axis];
        }
    }
}

}  // namespace
