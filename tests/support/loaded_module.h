// Loads the real TorvexModule.dll (from the test program's own folder) and resolves its exports by
// name, as a host application does. Each test loads it after it has set the bench up, so the
// module's start-up sees that machine; unloading runs the module's static destruction.
#pragma once

#include <windows.h>

#include <string>

#include "TorvexModule.h"

struct TorvexExports {
    decltype(&Torvex_Api_Check_Function_Support) Check_Function_Support = nullptr;
    decltype(&Torvex_Api_Check_MTPD_Support) Check_MTPD_Support = nullptr;
    decltype(&Torvex_Api_Check_GSensor_Support) Check_GSensor_Support = nullptr;
    decltype(&Torvex_Api_GetThermalMap) GetThermalMap = nullptr;
    decltype(&Torvex_Api_GetPowerStatus) GetPowerStatus = nullptr;
    decltype(&Torvex_Api_GetMileageTotalTime) GetMileageTotalTime = nullptr;
    decltype(&Torvex_Api_GetMileageLatestTime) GetMileageLatestTime = nullptr;
    decltype(&Torvex_Api_GetMileageLatestManual) GetMileageLatestManual = nullptr;
    decltype(&Torvex_Api_GetMileageStatus) GetMileageStatus = nullptr;
    decltype(&Torvex_Api_SetMileage_Rec) SetMileage_Rec = nullptr;
    decltype(&Torvex_Api_SetMileage_Rec_Stop) SetMileage_Rec_Stop = nullptr;
    decltype(&Torvex_Api_Get_GSensor_Data) Get_GSensor_Data = nullptr;
    decltype(&Torvex_Api_GetSystermSensorInfo) GetSystermSensorInfo = nullptr;
    decltype(&Torvex_Api_Get_Systerm_Sensor_Count) Get_Systerm_Sensor_Count = nullptr;
    decltype(&Torvex_Api_Get_Sensor_RealTime_Data) Get_Sensor_RealTime_Data = nullptr;
    decltype(&Torvex_Api_Set_Sensor_Status) Set_Sensor_Status = nullptr;
    decltype(&Torvex_Api_Check_QLXSW_Support) Check_QLXSW_Support = nullptr;
    decltype(&Torvex_Api_Get_QLXSW_PowerStatus) Get_QLXSW_PowerStatus = nullptr;
    decltype(&Torvex_Api_Exit_KIVO) Exit_KIVO = nullptr;
};

class LoadedModule {
public:
    // Loads the DLL; throws std::runtime_error when it or any export is missing.
    LoadedModule();
    ~LoadedModule();
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    const TorvexExports& api() const { return m_api; }
    const TorvexExports* operator->() const { return &m_api; }
    // Unloads now (static destruction runs); later calls through api() are invalid.
    void Unload();

private:
    HMODULE m_module = nullptr;
    TorvexExports m_api;
};

// Full path of a file in the test program's own folder.
std::wstring BesideTestProgram(const wchar_t* fileName);
