// The four system-sensor exports. The sensor catalogue is not built yet: they have their final
// signatures and answer -1.
#include "TorvexModule.h"

extern "C" {

int Torvex_Api_GetSystermSensorInfo(int) { return -1; }
int Torvex_Api_Get_Systerm_Sensor_Count(void) { return -1; }
int Torvex_Api_Get_Sensor_RealTime_Data(int32_t*, SensorRecord**) { return -1; }
int Torvex_Api_Set_Sensor_Status(int32_t*, const SensorRecord*) { return -1; }

}  // extern "C"
