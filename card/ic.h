// Base of the board's chip drivers and of the power-connector monitor. The six virtual slots keep
// this order in every derived class; a slot a class does not serve returns 0 and writes nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "TorvexModule.h"
#include "gpu/i2c_bus.h"

class CIC {
public:
    CIC(const CIC&) = delete;
    CIC& operator=(const CIC&) = delete;
    virtual ~CIC() = default;

    virtual int GetMileageTotalTime(uint32_t* first, uint32_t* second, uint32_t* third);
    virtual int GetMileageLatestTime(uint32_t* first, uint32_t* second, uint32_t* third);
    virtual int GetPowerStatus(QLXSWPowerStatus* status);
    virtual int GetThermalMap(ThermalMap* map);
    virtual int GetSensorData(GSensorData* raw, GSensorData* filtered);

protected:
    // The monitor does no I/O of its own, so it has no bus.
    CIC() = default;
    // A chip: reached at this device address on the GPU's bus, which it shares with the board.
    CIC(std::shared_ptr<const I2cBus> bus, uint8_t devAddress) : m_spBus(std::move(bus)), m_byDevAddr(devAddress) {}

    std::shared_ptr<const I2cBus> m_spBus;
    uint8_t m_byDevAddr = 0;
};
