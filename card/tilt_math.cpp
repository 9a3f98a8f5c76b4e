#include "card/tilt_math.h"

#include <cmath>

namespace {

constexpr int kRawLimit = 4096;

float Clamp(int16_t raw) {
    int value = raw;
    if (value > kRawLimit) value = kRawLimit;
    if (value < -kRawLimit) value = -kRawLimit;
    return static_cast<float>(value);
}

bool IsFinite(float value) { return !std::isnan(value) && !std::isinf(value); }

float ArcInRadians(TiltAxis axis, float quotient) {
    const double arc = axis == kTiltZ ? std::acos(static_cast<double>(quotient)) : std::asin(static_cast<double>(quotient));
    return static_cast<float>(arc);
}

}  // namespace

TiltComputation ComputeTilt(int16_t rawX, int16_t rawY, int16_t rawZ) {
    TiltComputation c{};
    const int16_t raw[3] = {rawX, rawY, rawZ};
    for (int i = 0; i < 3; ++i) {
        c.fClamped[i] = Clamp(raw[i]);
        c.fScaled[i] = c.fClamped[i] / 4.1f;
        c.fSquares[i] = c.fScaled[i] * c.fScaled[i];
    }
    const float sumOfSquares = c.fSquares[0] + c.fSquares[1] + c.fSquares[2];
    c.fTotal = static_cast<float>(std::sqrt(static_cast<double>(sumOfSquares)));
    c.bTotalUsable = c.fTotal != 0.0f && IsFinite(c.fTotal);

    float radians[3] = {0.0f, 0.0f, 0.0f};
    if (c.bTotalUsable) {
        for (int i = 0; i < 3; ++i) {
            c.fQuotients[i] = c.fScaled[i] / c.fTotal;
            c.bQuotientUsable[i] = IsFinite(c.fQuotients[i]);
            if (c.bQuotientUsable[i]) {
                radians[i] = ArcInRadians(static_cast<TiltAxis>(i), c.fQuotients[i]);
            }
        }
    }
    for (int i = 0; i < 3; ++i) {
        c.fDegrees[i] = radians[i] * 180.0f / kTiltPi;
    }
    return c;
}

float SmoothAngle(float last, float alpha, float angle) {
    const double kept = static_cast<double>(last) * (1.0 - static_cast<double>(alpha));
    const float added = alpha * angle;
    return static_cast<float>(kept + static_cast<double>(added));
}
