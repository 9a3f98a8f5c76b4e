#include "export_calls.h"

#include <algorithm>
#include <iterator>

#include "poisoned.h"

namespace {

std::string Text(int value) { return std::to_string(value); }

// Every call must give one of the codes the export table documents for its export, and `fits` where
// the arguments narrow them down. A call with a null pointer must write nothing (where it would
// write, it gives -1); any other call's writes must pass `written`.
Answer Judge(Draw& draw, ModuleExport id, int code, bool untouched, bool written, std::string arguments,
             bool fits = true) {
    Answer a{code, Documents(id, code) && fits && (draw.AnyNull() ? untouched : written), std::move(arguments)};
    if (draw.AnyNull()) a.arguments += " (a null pointer)";
    draw.Reset();
    return a;
}

bool IsBit(int32_t value) { return value == 0 || value == 1; }

bool TiltRecordOk(const GSensorData& d) {
    return IsBit(d.nStatus0) && IsBit(d.nStatus1) && IsBit(d.nStatus2) && IsBit(d.nStatus3) && IsBit(d.nStatus4) &&
           IsBit(d.nStatus5);
}

// The three usage-time counter exports.
template <typename Read>
Answer Counters3(Draw& draw, ModuleExport id, Read read) {
    const int gpu = draw.GpuId();
    uint32_t first = Poisoned<uint32_t>(), second = first, third = first;
    const int code = read(gpu, draw.Maybe(&first), draw.Maybe(&second), draw.Maybe(&third));
    return Judge(draw, id, code, Untouched(first, second, third), true, "id " + Text(gpu));
}

using E = ModuleExport;

constexpr ExportCall kCalls[] = {
    {E::Check_Function_Support, 600,
     [](const ModuleExports& api, Draw& draw, SoakState&) {
         const int id = draw.GpuId();
         FunctionSupport pair = Poisoned<FunctionSupport>();
         const int code = api.Check_Function_Support(id, draw.Maybe(&pair));
         return Judge(draw, E::Check_Function_Support, code, Untouched(pair), code != 0 || (pair.nVersion >= 0x500 && pair.nVersion <= 0xFFFF),
                      "id " + Text(id));
     }},
    {E::Check_MTPD_Support, 500,
     [](const ModuleExports& api, Draw& draw, SoakState&) {
         const int id = draw.GpuId();
         uint8_t supported = Poisoned<uint8_t>();
         const int code = api.Check_MTPD_Support(id, draw.Maybe(&supported));
         return Judge(draw, E::Check_MTPD_Support, code, Untouched(supported), code != 0 || supported == 1, "id " + Text(id));
     }},
    {E::Check_GSensor_Support, 500,
     [](const ModuleExports& api, Draw& draw, SoakState&) {
         const int id = draw.GpuId();
         uint8_t present = Poisoned<uint8_t>();
         const int code = api.Check_GSensor_Support(id, draw.Maybe(&present));
         return Judge(draw, E::Check_GSensor_Support, code, Untouched(present), code == -1 || present == code, "id " + Text(id));
     }},
    {E::GetThermalMap, 1000,
     [](const ModuleExports& api, Draw& draw, SoakState&) {
         const int id = draw.GpuId();
         ThermalMap map = Poisoned<ThermalMap>();
         const int code = api.GetThermalMap(id, draw.Maybe(&map));
         return Judge(draw, E::GetThermalMap, code, Untouched(map), code != 0 || map.nCount == 4, "id " + Text(id));
     }},
    {E::GetPowerStatus, 1000,
     [](const ModuleExports& api, Draw& draw, SoakState&) {
         const int id = draw.GpuId();
         QLXSWPowerStatus status = Poisoned<QLXSWPowerStatus>();
         const int code = api.GetPowerStatus(id, draw.Maybe(&status));
         return Judge(draw, E::GetPowerStatus, code, Untouched(status),
                      code != 0 || (status.nCount == 6 && status.nOverLimit == 0), "id " + Text(id));
     }},
    {E::GetMileageTotalTime, 800,
     [](const ModuleExports& api, Draw& draw, SoakState&) {
         return Counters3(draw, E::GetMileageTotalTime, api.GetMileageTotalTime);
     }},
    {E::GetMileageLatestTime, 800,
     [](const ModuleExports& api, Draw& draw, SoakState&) {
         return Counters3(draw, E::GetMileageLatestTime, api.GetMileageLatestTime);
     }},
    {E::GetMileageLatestManual, 800,
     [](const ModuleExports& api, Draw& draw, SoakState&) {
         return Counters3(draw, E::GetMileageLatestManual, api.GetMileageLatestManual);
     }},
    {E::GetMileageStatus, 800,
     [](const ModuleExports& api, Draw& draw, SoakState&) {
         const int id = draw.GpuId();
         int32_t state = Poisoned<int32_t>();
         const int code = api.GetMileageStatus(id, draw.Maybe(&state));
         return Judge(draw, E::GetMileageStatus, code, Untouched(state), code != 0 || (state >= Recording && state <= Stopped),
                      "id " + Text(id));
     }},
    {E::SetMileage_Rec, 800,
     [](const ModuleExports& api, Draw& draw, SoakState&) {
         const int id = draw.GpuId();
         const int32_t requested = draw.OneIn(20) ? draw.Between(INT_MIN, INT_MAX) : draw.Between(0, 2);
         return Judge(draw, E::SetMileage_Rec, api.SetMileage_Rec(id, requested), true, true,
                      "id " + Text(id) + ", state " + Text(requested));
     }},
    {E::SetMileage_Rec_Stop, 500,
     [](const ModuleExports& api, Draw& draw, SoakState&) {
         const int id = draw.GpuId();
         return Judge(draw, E::SetMileage_Rec_Stop, api.SetMileage_Rec_Stop(id), true, true, "id " + Text(id));
     }},
    {E::Get_GSensor_Data, 800,
     [](const ModuleExports& api, Draw& draw, SoakState&) {
         const int id = draw.GpuId();
         GSensorData raw = Poisoned<GSensorData>(), filtered = raw;
         const int code = api.Get_GSensor_Data(id, draw.Maybe(&raw), draw.Maybe(&filtered));
         return Judge(draw, E::Get_GSensor_Data, code, Untouched(raw, filtered),
                      code != 0 || (TiltRecordOk(raw) && TiltRecordOk(filtered)), "id " + Text(id));
     }},
    {E::GetSystermSensorInfo, 50,
     [](const ModuleExports& api, Draw& draw, SoakState& state) {
         // Numbers from near the top of the range wrap around past it.
         const int first = draw.OneIn(2) ? 0 : draw.OneIn(2) ? INT_MAX - 3 : draw.Between(INT_MIN, INT_MAX);
         const int code = api.GetSystermSensorInfo(first);
         if (code == 0 && state.sensorCount == 0) {
             state.sensorCount = std::max(0, api.Get_Systerm_Sensor_Count());
             state.firstNumber = std::max(first, 0);
         }
         return Judge(draw, E::GetSystermSensorInfo, code, true, true, "first number " + Text(first));
     }},
    {E::Get_Systerm_Sensor_Count, 300,
     [](const ModuleExports& api, Draw& draw, SoakState& state) {
         const int count = api.Get_Systerm_Sensor_Count();
         return Judge(draw, E::Get_Systerm_Sensor_Count, count, true, true, "",
                      count == (state.sensorCount > 0 ? state.sensorCount : -1));
     }},
    {E::Get_Sensor_RealTime_Data, 300,
     [](const ModuleExports& api, Draw& draw, SoakState& state) {
         // The host's array has room for the catalogue, as the host learns it from the count.
         std::vector<SensorRecord> records(static_cast<size_t>(state.sensorCount) + 1, Poisoned<SensorRecord>());
         SensorRecord* array = draw.OneIn(20) ? nullptr : records.data();
         int32_t count = Poisoned<int32_t>();
         const int code = api.Get_Sensor_RealTime_Data(draw.Maybe(&count), draw.Maybe(&array));
         const bool written = code == 0 ? count == state.sensorCount && Untouched(records.back())
                                        : count == (array ? 0 : state.sensorCount);
         return Judge(draw, E::Get_Sensor_RealTime_Data, code, Untouched(count), written,
                      array ? "an array" : "a null array in the cell");
     }},
    {E::Set_Sensor_Status, 300,
     [](const ModuleExports& api, Draw& draw, SoakState& state) {
         SensorRecord given[3] = {};
         for (SensorRecord& r : given) {
             r.nNumber = static_cast<int32_t>(static_cast<uint32_t>(state.firstNumber) +
                                              static_cast<uint32_t>(draw.Between(-2, state.sensorCount + 1)));
             r.bEnabled = static_cast<uint8_t>(draw.Between(0, 2));
         }
         int32_t count = draw.Between(-1, 3);
         const int code = api.Set_Sensor_Status(draw.Maybe(&count), draw.Maybe(given));
         return Judge(draw, E::Set_Sensor_Status, code, true, true, "count " + Text(count), count >= 1 || code == -1);
     }},
    {E::Check_QLXSW_Support, 1,
     [](const ModuleExports& api, Draw& draw, SoakState&) {
         uint8_t supported = Poisoned<uint8_t>();
         const int code = api.Check_QLXSW_Support(draw.Maybe(&supported));
         return Judge(draw, E::Check_QLXSW_Support, code, Untouched(supported), supported == (code == 1 ? 1 : 0), "");
     }},
    {E::Get_QLXSW_PowerStatus, 15,
     [](const ModuleExports& api, Draw& draw, SoakState&) {
         const int key = draw.Key();
         QLXSWPowerStatus status = Poisoned<QLXSWPowerStatus>();
         const int code = api.Get_QLXSW_PowerStatus(key, draw.Maybe(&status));
         const bool written = code == 1    ? status.nCount >= 0 && status.nCount <= 10
                              : code == -7 ? status.fTotal == 0.0f
                                           : Untouched(status);
         return Judge(draw, E::Get_QLXSW_PowerStatus, code, Untouched(status), written, "key " + Text(key),
                      (key < 1) == (code == -3));
     }},
    {E::Exit_KIVO, 1,
     [](const ModuleExports& api, Draw& draw, SoakState&) {
         return Judge(draw, E::Exit_KIVO, api.Exit_KIVO(), true, true, "");
     }},
};
static_assert(CoversExactly(kCalls, [](const ExportRow&) { return true; }), "the soak calls every export once");

}  // namespace

int Draw::GpuId() {
    switch (Between(0, 10)) {
        case 0: return INT_MIN;
        case 1: return INT_MAX;
        case 2: return -1;
        case 3: return Between(INT_MIN, INT_MAX);
        case 4: return 255;
        default: return Between(1, 4);  // boards on buses 1 and 2; 3 and 4 address the first
    }
}

int Draw::Key() {
    switch (Between(0, 9)) {
        case 0: return INT_MIN;
        case 1: return INT_MAX;
        case 2: return Between(-5, 0);
        default: return Between(1, 6);
    }
}

const std::vector<ExportCall>& ExportCalls() {
    static const std::vector<ExportCall> calls(std::begin(kCalls), std::end(kCalls));
    return calls;
}
