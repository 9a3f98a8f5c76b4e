#include "card/ic.h"

int CIC::GetMileageTotalTime(uint32_t*, uint32_t*, uint32_t*) { return 0; }
int CIC::GetMileageLatestTime(uint32_t*, uint32_t*, uint32_t*) { return 0; }
int CIC::GetPowerStatus(QLXSWPowerStatus*) { return 0; }
int CIC::GetThermalMap(ThermalMap*) { return 0; }
int CIC::GetSensorData(GSensorData*, GSensorData*) { return 0; }
