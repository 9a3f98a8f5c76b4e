// The twelve board exports. Placeholder bodies until the board layer lands.
#include "TorvexModule.h"

extern "C" {

int Torvex_Api_Check_Function_Support(int, FunctionSupport*) { return -1; }
int Torvex_Api_Check_MTPD_Support(int, uint8_t*) { return -1; }
int Torvex_Api_Check_GSensor_Support(int, uint8_t*) { return -1; }
int Torvex_Api_GetThermalMap(int, ThermalMap*) { return -1; }
int Torvex_Api_GetPowerStatus(int, QLXSWPowerStatus*) { return -1; }
int Torvex_Api_GetMileageTotalTime(int, uint32_t*, uint32_t*, uint32_t*) { return -1; }
int Torvex_Api_GetMileageLatestTime(int, uint32_t*, uint32_t*, uint32_t*) { return -1; }
int Torvex_Api_GetMileageLatestManual(int, uint32_t*, uint32_t*, uint32_t*) { return -1; }
int Torvex_Api_GetMileageStatus(int, int32_t*) { return -1; }
int Torvex_Api_SetMileage_Rec(int, int32_t) { return -1; }
int Torvex_Api_SetMileage_Rec_Stop(int) { return -1; }
int Torvex_Api_Get_GSensor_Data(int, GSensorData*, GSensorData*) { return -1; }

}  // extern "C"
