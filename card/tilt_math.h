// The card's tilt from the accelerometer's three raw readings, and the smoothing applied to it.
// Every step keeps the widths the host's reference results were computed with: 32-bit floats,
// with only the square root and the arc functions taken in double precision.
#pragma once

#include <cstdint>

// Pi one unit below the float nearest to it (bit pattern 0x40490FDA): the host's angles were
// computed with this value, so 90 degrees comes out as 90.0000076.
constexpr float kTiltPi = 3.1415925f;
constexpr float kTiltFilterAlpha = 0.5f;

enum TiltAxis { kTiltX = 0, kTiltY = 1, kTiltZ = 2 };

// Every intermediate of one computation, so the driver can report each step.
struct TiltComputation {
    float fClamped[3];        // raw readings limited to -4096..4096
    float fScaled[3];         // clamped / 4.1
    float fSquares[3];        // scaled * scaled
    float fTotal;             // magnitude of the scaled vector
    bool bTotalUsable;        // false for a zero, NaN or infinite magnitude: every angle is 0
    float fQuotients[3];      // scaled / total, only when bTotalUsable
    bool bQuotientUsable[3];  // false for a NaN or infinite quotient: that angle is 0
    float fDegrees[3];        // X and Y from the arc sine, Z from the arc cosine
};

TiltComputation ComputeTilt(int16_t rawX, int16_t rawY, int16_t rawZ);

// One step of the exponential smoothing: last * (1 - alpha) + alpha * angle.
float SmoothAngle(float last, float alpha, float angle);
