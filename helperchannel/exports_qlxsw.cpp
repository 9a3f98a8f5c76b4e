// The three QLXSW exports. Their helper channel is not built yet: they have their final
// signatures and answer -1.
#include "TorvexModule.h"
#include "helperchannel/qlxsw_flag.h"

bool g_bQLXSWPresent = false;

extern "C" {

int Torvex_Api_Check_QLXSW_Support(uint8_t*) { return -1; }
int Torvex_Api_Get_QLXSW_PowerStatus(int32_t, QLXSWPowerStatus*) { return -1; }
int Torvex_Api_Exit_KIVO(void) { return -1; }

}  // extern "C"
