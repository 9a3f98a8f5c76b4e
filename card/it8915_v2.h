// Driver of the board controller: usage-time counters, power-connector readings, thermal map.
#pragma once

#include <cstdint>
#include <memory>

#include "card/ic.h"
#include "card/it8915_decode.h"

class CIT8915_V2 : public CIC {
public:
    // The controller at this device address on the bus. Takes the counters' baseline at once (all 0
    // when that read fails).
    CIT8915_V2(std::shared_ptr<const I2cBus> bus, uint8_t devAddress);

    // The counters as the controller reports them. -1 on a failed read, nothing written.
    int GetMileageTotalTime(uint32_t* first, uint32_t* second, uint32_t* third) override;
    // The counters' advance since this driver was made, wrapping at 32 bits. -1 on a failed read.
    int GetMileageLatestTime(uint32_t* first, uint32_t* second, uint32_t* third) override;
    // The six connector readings. A failed read is bridged with the last good block for up to two
    // failures in a row; then, or before any good read, -2 and nothing written. Without a block the
    // read still runs and counts, the cache stays as it was, and where a block would be written
    // the result is -1.
    int GetPowerStatus(QLXSWPowerStatus* status) override;
    // Four temperatures and the count 4. -1 on a failed read, nothing written.
    int GetThermalMap(ThermalMap* map) override;

private:
    static constexpr int kPowerFailuresBridged = 2;

    uint32_t m_nBaseMileage[3] = {0, 0, 0};
    int32_t m_nPowerFailCount = 0;
    bool m_bPowerCacheValid = false;
    // The last good block as the caller then saw it: the readings, and fValue[6..9] as they were.
    struct PowerCache {
        PowerReadings readings;
        float fUntouched[4];
    };
    PowerCache m_PowerCache{};
};
