// The four system-sensor exports: start and build, count, real-time values, and switching single
// sensors' refresh on or off.
#include <cstring>

#include "TorvexModule.h"
#include "module/export_dispatch.h"
#include "module/group_rules.h"
#include "module/module_objects.h"

namespace {

int CatalogueSize(const SensorCatalogue& catalogue) { return static_cast<int>(catalogue.Records().size()); }

}  // namespace

extern "C" {

int Torvex_Api_GetSystermSensorInfo(int nFirstNumber) {
    return Dispatch(g_sensors, [&](SensorCatalogue& catalogue) {
        return catalogue.Start(nFirstNumber, ReleaseHelperAfterFailedSensorStart);
    });
}

int Torvex_Api_Get_Systerm_Sensor_Count(void) {
    return Dispatch(g_sensors, [](SensorCatalogue& catalogue) {
        return CatalogueSize(catalogue) > 0 ? CatalogueSize(catalogue) : -1;
    });
}

int Torvex_Api_Get_Sensor_RealTime_Data(int32_t* pnCount, SensorRecord** ppRecords) {
    return Dispatch(g_sensors, [&](SensorCatalogue& catalogue) {
        // The refresh comes first, whatever the pointers; without either one nothing is written.
        catalogue.Refresh();
        if (!pnCount || !ppRecords) return -1;
        *pnCount = CatalogueSize(catalogue);
        SensorRecord* const records = *ppRecords;
        if (CatalogueSize(catalogue) < 1 || !records) return -1;
        std::memcpy(records, catalogue.Records().data(), catalogue.Records().size() * sizeof(SensorRecord));
        return 0;
    });
}

int Torvex_Api_Set_Sensor_Status(int32_t* pnCount, const SensorRecord* pRecords) {
    if (!pnCount) return -1;
    const int32_t count = *pnCount;
    if (count < 1 || !pRecords) return -1;
    return Dispatch(g_sensors, [&](SensorCatalogue& catalogue) { return catalogue.SetStatus(pRecords, count); });
}

}  // extern "C"
