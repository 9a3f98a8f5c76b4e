// Base of the board's chip drivers and of the power-connector monitor. The six virtual slots keep
// this order in every derived class; a slot a class does not serve returns 0 and writes nothing.
#pragma once

#include <cstdint>

#include "TorvexModule.h"
#include "gpu/gpu_entry.h"

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
    // Keeps its own copy of the entry, and with it its own reference on the ADLX GPU.
    CIC(const GpuEntry& entry, uint8_t devAddress) : m_GpuEntry(entry), m_byDevAddr(devAddress) {}

    GpuEntry m_GpuEntry;
    uint8_t m_byDevAddr;
};
