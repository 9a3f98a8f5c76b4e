// The 19 exports of TorvexModule.dll as one table of typed function pointers. The list below is the
// only place that names them: the struct and the loader are generated from it, so a new export is
// one line here. Free of <windows.h>, so code that only calls through the table builds anywhere.
#pragma once

#include "TorvexModule.h"

#define TORVEX_EXPORT_LIST(X)   \
    X(Check_Function_Support)   \
    X(Check_MTPD_Support)       \
    X(Check_GSensor_Support)    \
    X(GetThermalMap)            \
    X(GetPowerStatus)           \
    X(GetMileageTotalTime)      \
    X(GetMileageLatestTime)     \
    X(GetMileageLatestManual)   \
    X(GetMileageStatus)         \
    X(SetMileage_Rec)           \
    X(SetMileage_Rec_Stop)      \
    X(Get_GSensor_Data)         \
    X(GetSystermSensorInfo)     \
    X(Get_Systerm_Sensor_Count) \
    X(Get_Sensor_RealTime_Data) \
    X(Set_Sensor_Status)        \
    X(Check_QLXSW_Support)      \
    X(Get_QLXSW_PowerStatus)    \
    X(Exit_KIVO)

// Member `Name` points at the export Torvex_Api_Name, with the header's own signature.
struct ModuleExports {
#define TORVEX_EXPORT_MEMBER(name) decltype(&Torvex_Api_##name) name = nullptr;
    TORVEX_EXPORT_LIST(TORVEX_EXPORT_MEMBER)
#undef TORVEX_EXPORT_MEMBER
};
