// The board's power-connector monitor: serves the power status and the thermal map through the
// controller driver that the board probe hands it.
#pragma once

#include <memory>

#include "card/ic.h"
#include "card/it8915_v2.h"

class CPowerDetect : public CIC {
public:
    CPowerDetect() = default;

    // Hands over the controller driver; the monitor owns it from then on.
    void AttachController(std::unique_ptr<CIT8915_V2> controller);

    // Both forward to the controller; without one they return -1 and write nothing.
    int GetPowerStatus(QLXSWPowerStatus* status) override;
    int GetThermalMap(ThermalMap* map) override;

private:
    std::unique_ptr<CIT8915_V2> m_pIT8915;
};
