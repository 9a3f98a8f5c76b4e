#include "card/bmi321.h"

#include <utility>

#include "base/diag.h"
#include "card/it8915_registers.h"
#include "card/register_read.h"
#include "card/tilt_math.h"

bool g_bFirstSample = true;
float g_fAlpha = kTiltFilterAlpha;
float g_fLastX = 0.0f;
float g_fLastY = 0.0f;
float g_fLastZ = 0.0f;

namespace {

struct SensorBytes {
    uint8_t status;
    uint8_t axes[6];
};

int16_t RawAxis(const SensorBytes& bytes, int axis) {
    return static_cast<int16_t>((bytes.axes[2 * axis] << 8) | bytes.axes[2 * axis + 1]);
}

void PrintRawBytes(const SensorBytes& b) {
    DebugPrint(L"[g-sensor] [raw sensor data] uData0=0x%02X, uData1=0x%02X, uData2=0x%02X, uData3=0x%02X, "
               L"uData4=0x%02X, uData5=0x%02X, uData6=0x%02X\n",
               b.status, b.axes[0], b.axes[1], b.axes[2], b.axes[3], b.axes[4], b.axes[5]);
}

void PrintTriple(const wchar_t* format, const float (&values)[3]) {
    DebugPrint(format, static_cast<double>(values[0]), static_cast<double>(values[1]), static_cast<double>(values[2]));
}

void PrintComputation(const GSensorData& raw, const TiltComputation& c) {
    DebugPrint(L"[g-sensor] [intermediate values] iX=%d, iY=%d, iZ=%d, x=%d, y=%d, z=%d\n",
               static_cast<uint16_t>(raw.iX), static_cast<uint16_t>(raw.iY), static_cast<uint16_t>(raw.iZ),
               static_cast<int>(c.fClamped[0]), static_cast<int>(c.fClamped[1]), static_cast<int>(c.fClamped[2]));
    PrintTriple(L"[g-sensor] [primary data] fXsign = %.5f  fYsign = %.5f  fZsign = %.5f\n", c.fClamped);
    PrintTriple(L"[g-sensor] [pre-division] fXsign=%.5f, fYsign=%.5f, fZsign=%.5f, divisor=4.1f\n", c.fClamped);
    PrintTriple(L"[g-sensor] [post-division] fXsign=%.5f, fYsign=%.5f, fZsign=%.5f\n", c.fScaled);
    DebugPrint(L"[g-sensor] [total calculation] total=%.5f, fXsign^2=%.5f, fYsign^2=%.5f, fZsign^2=%.5f\n",
               static_cast<double>(c.fTotal), static_cast<double>(c.fSquares[0]), static_cast<double>(c.fSquares[1]),
               static_cast<double>(c.fSquares[2]));
    if (!c.bTotalUsable) {
        DebugPrint(L"[g-sensor] [ERROR] total is zero, NaN or infinite: %.5f\n", static_cast<double>(c.fTotal));
    } else {
        PrintTriple(L"[g-sensor] [division results] fXsign/total=%.5f, fYsign/total=%.5f, fZsign/total=%.5f\n",
                    c.fQuotients);
        static const wchar_t* const kRefusedQuotient[3] = {
            L"[g-sensor] [ERROR] fXsign/total is NaN or infinite: %.5f\n",
            L"[g-sensor] [ERROR] fYsign/total is NaN or infinite: %.5f\n",
            L"[g-sensor] [ERROR] fZsign/total is NaN or infinite: %.5f\n",
        };
        for (int i = 0; i < 3; ++i) {
            if (!c.bQuotientUsable[i]) {
                DebugPrint(kRefusedQuotient[i], static_cast<double>(c.fQuotients[i]));
            }
        }
    }
    PrintTriple(L"[g-sensor] [complete square difference formula] fXsign = %.5f  fYsign = %.5f  fZsign = %.5f\n",
                c.fDegrees);
}

// The first reading after load passes through; every later one, from whichever board, is
// smoothed against the previous result.
void Smooth(const float (&angles)[3], float (&filtered)[3]) {
    if (g_bFirstSample) {
        for (int i = 0; i < 3; ++i) filtered[i] = angles[i];
        g_bFirstSample = false;
    } else {
        filtered[kTiltX] = SmoothAngle(g_fLastX, g_fAlpha, angles[kTiltX]);
        filtered[kTiltY] = SmoothAngle(g_fLastY, g_fAlpha, angles[kTiltY]);
        filtered[kTiltZ] = SmoothAngle(g_fLastZ, g_fAlpha, angles[kTiltZ]);
    }
    g_fLastX = filtered[kTiltX];
    g_fLastY = filtered[kTiltY];
    g_fLastZ = filtered[kTiltZ];
}

void StoreAngles(GSensorData& data, const float (&angles)[3]) {
    data.fXsign = angles[kTiltX];
    data.fYsign = angles[kTiltY];
    data.fZsign = angles[kTiltZ];
}

}  // namespace

CBMI321::CBMI321(std::shared_ptr<const I2cBus> bus, uint8_t devAddress) : CIC(std::move(bus), devAddress) {}

int CBMI321::GetSensorData(GSensorData* raw, GSensorData* filtered) {
    I2cBus::Select100kHz();
    SensorBytes bytes{};
    bytes.status = ReadRegisterOrZero(*m_spBus, m_byDevAddr, it8915::kRegTiltStatus);
    int32_t* const statusBits[6] = {&m_Data.nStatus0, &m_Data.nStatus1, &m_Data.nStatus2,
                                    &m_Data.nStatus3, &m_Data.nStatus4, &m_Data.nStatus5};
    for (int bit = 0; bit < 6; ++bit) {
        *statusBits[bit] = (bytes.status >> bit) & 1;
    }
    for (int i = 0; i < 6; ++i) {
        bytes.axes[i] = ReadRegisterOrZero(*m_spBus, m_byDevAddr, static_cast<uint8_t>(it8915::kRegTiltAxes + i));
    }
    m_Data.iX = RawAxis(bytes, kTiltX);
    m_Data.iY = RawAxis(bytes, kTiltY);
    m_Data.iZ = RawAxis(bytes, kTiltZ);
    PrintRawBytes(bytes);

    const TiltComputation tilt = ComputeTilt(m_Data.iX, m_Data.iY, m_Data.iZ);
    PrintComputation(m_Data, tilt);
    float smoothed[3];
    Smooth(tilt.fDegrees, smoothed);
    PrintTriple(L"[g-sensor] [filter] fXsign = %.5f  fYsign = %.5f  fZsign = %.5f\n\n", smoothed);

    StoreAngles(m_Data, tilt.fDegrees);
    *raw = m_Data;
    StoreAngles(m_Data, smoothed);
    *filtered = m_Data;
    return 0;
}
