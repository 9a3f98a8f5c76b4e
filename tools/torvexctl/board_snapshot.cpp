#include "board_snapshot.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace {

// A byte the checks never write: they write 0 or 1.
constexpr uint8_t kUnwritten = 0xA5;

Reading<Counters> ReadCounters(decltype(&Torvex_Api_GetMileageTotalTime) read, int gpuId) {
    Reading<Counters> r;
    r.code = read(gpuId, &r.value[0], &r.value[1], &r.value[2]);
    r.valid = r.code == 0;
    return r;
}

Reading<int32_t> ReadRecorderState(const ModuleExports& api, int gpuId) {
    Reading<int32_t> r;
    r.code = api.GetMileageStatus(gpuId, &r.value);
    r.valid = r.code == 0;
    return r;
}

}  // namespace

BoardSnapshot ReadBoardSnapshot(const ModuleExports& api, int gpuId) {
    BoardSnapshot s;
    s.gpuId = gpuId;

    s.functions.code = api.Check_Function_Support(gpuId, &s.functions.value);
    s.functions.valid = s.functions.code == 0;

    // Both checks write their byte on some refusals as well: what they wrote is what is shown.
    uint8_t byte = kUnwritten;
    s.controller.code = api.Check_MTPD_Support(gpuId, &byte);
    s.controller.valid = byte != kUnwritten;
    s.controller.value = byte != 0;

    byte = kUnwritten;
    s.tiltPresent.code = api.Check_GSensor_Support(gpuId, &byte);
    s.tiltPresent.valid = byte != kUnwritten;
    s.tiltPresent.value = byte != 0;

    // The module leaves a temperature unwritten when the controller reports it negative; NaN
    // marks such a slot as "not reported".
    std::fill(std::begin(s.thermal.value.fValue), std::end(s.thermal.value.fValue),
              std::numeric_limits<float>::quiet_NaN());
    s.thermal.code = api.GetThermalMap(gpuId, &s.thermal.value);
    s.thermal.valid = s.thermal.code == 0;

    s.power.code = api.GetPowerStatus(gpuId, &s.power.value);
    s.power.valid = s.power.code == 0;

    s.mileageTotal = ReadCounters(api.GetMileageTotalTime, gpuId);
    s.mileageLatest = ReadCounters(api.GetMileageLatestTime, gpuId);
    s.mileageManual = ReadCounters(api.GetMileageLatestManual, gpuId);
    s.recorderState = ReadRecorderState(api, gpuId);

    s.tilt.code = api.Get_GSensor_Data(gpuId, &s.tilt.value.raw, &s.tilt.value.filtered);
    s.tilt.valid = s.tilt.code == 0;
    return s;
}

StopwatchSnapshot ReadStopwatch(const ModuleExports& api, int gpuId) {
    return StopwatchSnapshot{ReadRecorderState(api, gpuId), ReadCounters(api.GetMileageLatestManual, gpuId)};
}
