// Driver of the board's accelerometer: reads the raw acceleration and turns it into tilt angles,
// unfiltered and smoothed.
#pragma once

#include <cstdint>
#include <memory>

#include "card/ic.h"

// Smoothing state, one set for the whole module: every board's readings feed the same filter.
extern bool g_bFirstSample;
extern float g_fAlpha;
extern float g_fLastX;
extern float g_fLastY;
extern float g_fLastZ;

class CBMI321 : public CIC {
public:
    // The accelerometer at this device address on the bus.
    CBMI321(std::shared_ptr<const I2cBus> bus, uint8_t devAddress);

    // Writes the unfiltered record to raw and the smoothed one to filtered; always 0 (a failed
    // register read counts as a 0 byte).
    int GetSensorData(GSensorData* raw, GSensorData* filtered) override;

private:
    GSensorData m_Data{};
};
