#include "card/power_detect.h"

#include <utility>

void CPowerDetect::AttachController(std::unique_ptr<CIT8915_V2> controller) { m_pIT8915 = std::move(controller); }

int CPowerDetect::GetPowerStatus(QLXSWPowerStatus* status) {
    return m_pIT8915 ? m_pIT8915->GetPowerStatus(status) : -1;
}

int CPowerDetect::GetThermalMap(ThermalMap* map) { return m_pIT8915 ? m_pIT8915->GetThermalMap(map) : -1; }
