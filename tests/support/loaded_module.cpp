#include "loaded_module.h"

#include <stdexcept>
#include <string>

std::wstring BesideTestProgram(const wchar_t* fileName) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    dir.resize(dir.find_last_of(L"\\/") + 1);
    return dir + fileName;
}

namespace {
template <typename Fn>
void Resolve(HMODULE module, const char* name, Fn& slot) {
    FARPROC p = GetProcAddress(module, name);
    if (!p) throw std::runtime_error(std::string("TorvexModule.dll does not export ") + name);
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(p));
}
}  // namespace

LoadedModule::LoadedModule() {
    m_module = LoadLibraryW(BesideTestProgram(L"TorvexModule.dll").c_str());
    if (!m_module) throw std::runtime_error("cannot load TorvexModule.dll, error " + std::to_string(GetLastError()));
#define TVX_RESOLVE(name) Resolve(m_module, "Torvex_Api_" #name, m_api.name)
    TVX_RESOLVE(Check_Function_Support);
    TVX_RESOLVE(Check_MTPD_Support);
    TVX_RESOLVE(Check_GSensor_Support);
    TVX_RESOLVE(GetThermalMap);
    TVX_RESOLVE(GetPowerStatus);
    TVX_RESOLVE(GetMileageTotalTime);
    TVX_RESOLVE(GetMileageLatestTime);
    TVX_RESOLVE(GetMileageLatestManual);
    TVX_RESOLVE(GetMileageStatus);
    TVX_RESOLVE(SetMileage_Rec);
    TVX_RESOLVE(SetMileage_Rec_Stop);
    TVX_RESOLVE(Get_GSensor_Data);
    TVX_RESOLVE(GetSystermSensorInfo);
    TVX_RESOLVE(Get_Systerm_Sensor_Count);
    TVX_RESOLVE(Get_Sensor_RealTime_Data);
    TVX_RESOLVE(Set_Sensor_Status);
    TVX_RESOLVE(Check_QLXSW_Support);
    TVX_RESOLVE(Get_QLXSW_PowerStatus);
    TVX_RESOLVE(Exit_KIVO);
#undef TVX_RESOLVE
}

void LoadedModule::Unload() {
    if (m_module) FreeLibrary(m_module);
    m_module = nullptr;
    m_api = TorvexExports{};
}

LoadedModule::~LoadedModule() { Unload(); }
