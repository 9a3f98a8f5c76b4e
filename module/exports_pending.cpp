// Exports whose subsystems are not built yet: system sensors and the QLXSW helper channel. They
// already have their final signatures and answer -1.
#include "TorvexModule.h"

extern "C" {

int Torvex_Api_GetSystermSensorInfo(int) { return -1; }
int Torvex_Api_Get_Systerm_Sensor_Count(void) { return -1; }
int Torvex_Api_Get_Sensor_RealTime_Data(int32_t*, SensorRecord**) { return -1; }
int Torvex_Api_Set_Sensor_Status(int32_t*, const SensorRecord*) { return -1; }
int Torvex_Api_Check_QLXSW_Support(uint8_t*) { return -1; }
int Torvex_Api_Get_QLXSW_PowerStatus(int32_t, QLXSWPowerStatus*) { return -1; }
int Torvex_Api_Exit_KIVO(void) { return -1; }

}  // extern "C"
