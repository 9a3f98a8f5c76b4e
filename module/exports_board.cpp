// The twelve board exports. Each one finds the record its GPU identifier addresses, asks the
// record's gate for the device the operation needs and calls it; a missing record or a closed gate
// gives -1 with nothing written. A null output changes nothing but what writing through it would
// do: the reads and state changes before that write still happen, and where the operation would
// write, the export gives -1 and writes nothing.
#include <functional>

#include "TorvexModule.h"
#include "card/model.h"
#include "module/board_registry.h"
#include "module/export_dispatch.h"
#include "module/group_rules.h"
#include "module/module_objects.h"

namespace {

constexpr int kRefused = -1;

// A board export's call: gate(record) gives the device the operation needs, or null.
template <typename Gate, typename Operation>
int OnBoard(int gpuId, Gate gate, Operation operation) {
    return Dispatch(g_boards, [&](RecordArray<CModel>& records) {
        CModel* const model = FindRecord(records, gpuId);
        const auto device = model ? std::invoke(gate, *model) : nullptr;
        return device ? operation(*device) : kRefused;
    });
}

// The gate of the exports that only need a record.
CModel* AnyRecord(CModel& model) { return &model; }

// Runs a counter operation that writes its three outputs exactly when it succeeds (0). When any of
// them is missing it still runs, into scratch counters, and its success becomes -1.
template <typename Operation>
int IntoCounters(uint32_t* first, uint32_t* second, uint32_t* third, Operation operation) {
    if (first && second && third) return operation(first, second, third);
    uint32_t scratch[3] = {};
    const int result = operation(&scratch[0], &scratch[1], &scratch[2]);
    return result == 0 ? kRefused : result;
}

}  // namespace

extern "C" {

int Torvex_Api_Check_Function_Support(int nGpuId, FunctionSupport* pSupport) {
    return OnBoard(nGpuId, AnyRecord, [&](CModel& model) {
        FunctionSupport checked{};
        const int result = model.CheckFunctionSupport(&checked);
        // The pair is written on success; and the QLXSW device supplies power status even where
        // the board does not, so its bit goes into the pair whatever the board's answer was.
        const bool qlxsw = QLXSWPresent();
        if (result != 0 && !qlxsw) return result;
        if (!pSupport) return kRefused;
        if (result == 0) *pSupport = checked;
        if (qlxsw) pSupport->nFunction |= TORVEX_FUNCTION_POWER_STATUS;
        return result;
    });
}

int Torvex_Api_Check_MTPD_Support(int nGpuId, uint8_t* pbSupported) {
    return OnBoard(nGpuId, AnyRecord, [&](CModel& model) {
        uint8_t supported = 0;
        const int result = model.CheckControllerSupport(&supported);
        if (!pbSupported) return kRefused;
        *pbSupported = supported;
        return result;
    });
}

int Torvex_Api_Check_GSensor_Support(int nGpuId, uint8_t* pbPresent) {
    return OnBoard(nGpuId, AnyRecord, [&](CModel& model) {
        if (!pbPresent) return kRefused;
        *pbPresent = model.HasTiltSensor() ? 1 : 0;
        return static_cast<int>(*pbPresent);
    });
}

int Torvex_Api_GetThermalMap(int nGpuId, ThermalMap* pMap) {
    return OnBoard(nGpuId, &CModel::ThermalMapMonitor, [&](CPowerDetect& monitor) {
        if (pMap) return monitor.GetThermalMap(pMap);
        // The map is written exactly when the read succeeds.
        ThermalMap scratch{};
        const int result = monitor.GetThermalMap(&scratch);
        return result == 0 ? kRefused : result;
    });
}

int Torvex_Api_GetPowerStatus(int nGpuId, QLXSWPowerStatus* pStatus) {
    return OnBoard(nGpuId, &CModel::PowerStatusMonitor,
                   [&](CPowerDetect& monitor) { return monitor.GetPowerStatus(pStatus); });
}

int Torvex_Api_GetMileageTotalTime(int nGpuId, uint32_t* pnFirst, uint32_t* pnSecond, uint32_t* pnThird) {
    return OnBoard(nGpuId, &CModel::TotalsRecorder, [&](CMileage& recorder) {
        return IntoCounters(pnFirst, pnSecond, pnThird,
                            [&](uint32_t* a, uint32_t* b, uint32_t* c) { return recorder.GetTotalTime(a, b, c); });
    });
}

int Torvex_Api_GetMileageLatestTime(int nGpuId, uint32_t* pnFirst, uint32_t* pnSecond, uint32_t* pnThird) {
    return OnBoard(nGpuId, &CModel::Recorder, [&](CMileage& recorder) {
        return IntoCounters(pnFirst, pnSecond, pnThird,
                            [&](uint32_t* a, uint32_t* b, uint32_t* c) { return recorder.GetLatestTime(a, b, c); });
    });
}

int Torvex_Api_GetMileageLatestManual(int nGpuId, uint32_t* pnFirst, uint32_t* pnSecond, uint32_t* pnThird) {
    return OnBoard(nGpuId, &CModel::Recorder, [&](CMileage& recorder) {
        return IntoCounters(pnFirst, pnSecond, pnThird,
                            [&](uint32_t* a, uint32_t* b, uint32_t* c) { return recorder.GetManualTime(a, b, c); });
    });
}

int Torvex_Api_GetMileageStatus(int nGpuId, int32_t* pnState) {
    return OnBoard(nGpuId, &CModel::Recorder, [&](CMileage& recorder) {
        if (!pnState) return kRefused;
        *pnState = recorder.State();
        return 0;
    });
}

int Torvex_Api_SetMileage_Rec(int nGpuId, int32_t nState) {
    return OnBoard(nGpuId, &CModel::Recorder, [&](CMileage& recorder) { return recorder.SetRec(nState); });
}

int Torvex_Api_SetMileage_Rec_Stop(int nGpuId) {
    return OnBoard(nGpuId, &CModel::Recorder, [](CMileage& recorder) {
        recorder.AccumulateSinceStart();
        return 0;
    });
}

int Torvex_Api_Get_GSensor_Data(int nGpuId, GSensorData* pRaw, GSensorData* pFiltered) {
    return OnBoard(nGpuId, &CModel::TiltSensor,
                   [&](CGSensor& sensor) { return sensor.GetSensorData(pRaw, pFiltered); });
}

}  // extern "C"
