// The board's tilt-sensor front: holds the accelerometer driver when the board has the sensor.
#pragma once

#include <memory>
#include <utility>

#include "TorvexModule.h"
#include "card/bmi321.h"

class CGSensor {
public:
    CGSensor() = default;
    CGSensor(const CGSensor&) = delete;
    CGSensor& operator=(const CGSensor&) = delete;
    virtual ~CGSensor() = default;

    // Hands over the driver; the front owns it from then on.
    void AttachDriver(std::unique_ptr<CBMI321> driver) { m_pBMI321 = std::move(driver); }
    bool HasDriver() const { return m_pBMI321 != nullptr; }

    // One reading through the driver, framed by diagnostics that show the angles the caller passed
    // in and the smoothed ones handed back. Needs the driver; 0, or -1 with nothing written when a
    // record is missing (without the second one the sensor is still read and the filter moves on).
    int GetSensorData(GSensorData* raw, GSensorData* filtered);

private:
    std::unique_ptr<CBMI321> m_pBMI321;
};
