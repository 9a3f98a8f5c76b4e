// The board's tilt-sensor front: holds the accelerometer driver when the board has the sensor.
#pragma once

#include <memory>
#include <utility>

#include "card/bmi321.h"

class CGSensor {
public:
    CGSensor() = default;
    CGSensor(const CGSensor&) = delete;
    CGSensor& operator=(const CGSensor&) = delete;
    virtual ~CGSensor() = default;

    // Hands over the driver; the front owns it from then on.
    void AttachDriver(std::unique_ptr<CBMI321> driver) { m_pBMI321 = std::move(driver); }
    // Null when the board has no tilt sensor.
    CBMI321* Driver() const { return m_pBMI321.get(); }

private:
    std::unique_ptr<CBMI321> m_pBMI321;
};
