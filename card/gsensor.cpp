#include "card/gsensor.h"

#include "base/diag.h"

int CGSensor::GetSensorData(GSensorData* raw, GSensorData* filtered) {
    DebugPrint(L"GetSensorData start\n");
    // The first record is read for the next line before anything else happens.
    if (!raw) return -1;
    DebugPrint(L"Before GetSensorData: fXsign = %.5f, fYsign = %.5f, fZsign = %.5f\n", static_cast<double>(raw->fXsign),
               static_cast<double>(raw->fYsign), static_cast<double>(raw->fZsign));
    if (!filtered) {
        // The sensor is read and the filter moves on; neither record is written.
        GSensorData unfiltered = *raw;
        GSensorData smoothed{};
        m_pBMI321->GetSensorData(&unfiltered, &smoothed);
        return -1;
    }
    m_pBMI321->GetSensorData(raw, filtered);
    DebugPrint(L"After GetSensorData: fXsign = %.5f, fYsign = %.5f, fZsign = %.5f\n",
               static_cast<double>(filtered->fXsign), static_cast<double>(filtered->fYsign),
               static_cast<double>(filtered->fZsign));
    DebugPrint(L"GetSensorData end\n");
    return 0;
}
