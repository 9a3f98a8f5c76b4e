#include "card/it8915_v2.h"

#include <algorithm>
#include <utility>

#include "card/it8915_decode.h"
#include "card/it8915_registers.h"

using namespace it8915;

CIT8915_V2::CIT8915_V2(std::shared_ptr<const I2cBus> bus, uint8_t devAddress) : CIC(std::move(bus), devAddress) {
    GetMileageTotalTime(&m_nBaseMileage[0], &m_nBaseMileage[1], &m_nBaseMileage[2]);
}

int CIT8915_V2::GetMileageTotalTime(uint32_t* first, uint32_t* second, uint32_t* third) {
    I2cBus::Select100kHz();
    uint8_t block[kMileageBlockLength] = {};
    if (m_spBus->ReadBlock(m_byDevAddr, kRegMileageBlock, block, sizeof(block)) != 0) {
        return -1;
    }
    const MileageCounters counters = DecodeMileageBlock(block);
    *first = counters.nFirst;
    *second = counters.nSecond;
    *third = counters.nThird;
    return 0;
}

int CIT8915_V2::GetMileageLatestTime(uint32_t* first, uint32_t* second, uint32_t* third) {
    uint32_t now[3];
    if (GetMileageTotalTime(&now[0], &now[1], &now[2]) != 0) {
        return -1;
    }
    *first = now[0] - m_nBaseMileage[0];
    *second = now[1] - m_nBaseMileage[1];
    *third = now[2] - m_nBaseMileage[2];
    return 0;
}

int CIT8915_V2::GetPowerStatus(QLXSWPowerStatus* status) {
    I2cBus::Select100kHz();
    uint8_t block[kPowerBlockLength];  // decoded only once a good read has filled it
    if (m_spBus->ReadBlock(m_byDevAddr, kRegPowerBlock, block, sizeof(block)) == 0) {
        m_nPowerFailCount = 0;
        // The cache takes the block as written, so without a block it keeps what it had.
        if (!status) return -1;
        // The readings are decoded into the cache and written to *status from the same values. A
        // copy of fields just stored, from either side, would stall on store forwarding.
        std::copy(status->fValue + 6, status->fValue + 10, m_PowerCache.fUntouched);
        DecodePowerBlock(block, &m_PowerCache.readings);
        StorePowerReadings(m_PowerCache.readings, status);
        m_bPowerCacheValid = true;
        return 0;
    }
    ++m_nPowerFailCount;
    if (m_bPowerCacheValid && m_nPowerFailCount <= kPowerFailuresBridged) {
        if (!status) return -1;
        StorePowerReadings(m_PowerCache.readings, status);
        std::copy(m_PowerCache.fUntouched, m_PowerCache.fUntouched + 4, status->fValue + 6);
        return 0;
    }
    return -2;
}

int CIT8915_V2::GetThermalMap(ThermalMap* map) {
    I2cBus::Select100kHz();
    uint8_t block[kThermalBlockLength];  // decoded only once a good read has filled it
    if (m_spBus->ReadBlock(m_byDevAddr, kRegThermalBlock, block, sizeof(block)) != 0) {
        return -1;
    }
    DecodeThermalBlock(block, map);
    return 0;
}
