// The twelve board exports. Each one refuses a null pointer, finds the record its GPU identifier
// addresses, asks the record's gate for the device the operation needs and calls it; a null
// pointer, a missing record or a closed gate gives -1 with nothing written.
#include <functional>
#include <mutex>

#include "TorvexModule.h"
#include "base/critical_section.h"
#include "base/export_guard.h"
#include "card/model.h"
#include "helperchannel/qlxsw_flag.h"
#include "module/board_registry.h"

namespace {

constexpr int kRefused = -1;

// Board exports run one at a time, whichever thread and board they come from: every NVIDIA read
// goes through the one shared transaction record and NVAPI's binding, all boards feed one tilt
// filter, and a controller check rewrites record fields that the gates read.
CriticalSection g_BoardLock;

template <typename... Pointers>
bool AllGiven(const Pointers*... pointers) {
    return (... && (pointers != nullptr));
}

// The one shape of a board export: gate(record) gives the device the operation needs, or null.
template <typename Gate, typename Operation>
int OnBoard(int gpuId, bool pointersGiven, Gate gate, Operation operation) {
    return ExportGuard([&] {
        if (!pointersGiven) return kRefused;
        std::lock_guard<CriticalSection> hold(g_BoardLock);
        CModel* const model = FindModel(gpuId);
        const auto device = model ? std::invoke(gate, *model) : nullptr;
        return device ? operation(*device) : kRefused;
    });
}

// The gate of the exports that only need a record.
CModel* AnyRecord(CModel& model) { return &model; }

}  // namespace

extern "C" {

int Torvex_Api_Check_Function_Support(int nGpuId, FunctionSupport* pSupport) {
    return OnBoard(nGpuId, AllGiven(pSupport), AnyRecord, [&](CModel& model) {
        const int result = model.CheckFunctionSupport(pSupport);
        // The QLXSW device supplies power status even where the board does not, whatever the
        // board's answer was.
        if (g_bQLXSWPresent) pSupport->nFunction |= TORVEX_FUNCTION_POWER_STATUS;
        return result;
    });
}

int Torvex_Api_Check_MTPD_Support(int nGpuId, uint8_t* pbSupported) {
    return OnBoard(nGpuId, AllGiven(pbSupported), AnyRecord,
                   [&](CModel& model) { return model.CheckControllerSupport(pbSupported); });
}

int Torvex_Api_Check_GSensor_Support(int nGpuId, uint8_t* pbPresent) {
    return OnBoard(nGpuId, AllGiven(pbPresent), AnyRecord, [&](CModel& model) {
        *pbPresent = model.HasTiltSensor() ? 1 : 0;
        return static_cast<int>(*pbPresent);
    });
}

int Torvex_Api_GetThermalMap(int nGpuId, ThermalMap* pMap) {
    return OnBoard(nGpuId, AllGiven(pMap), &CModel::ThermalMapMonitor,
                   [&](CPowerDetect& monitor) { return monitor.GetThermalMap(pMap); });
}

int Torvex_Api_GetPowerStatus(int nGpuId, QLXSWPowerStatus* pStatus) {
    return OnBoard(nGpuId, AllGiven(pStatus), &CModel::PowerStatusMonitor,
                   [&](CPowerDetect& monitor) { return monitor.GetPowerStatus(pStatus); });
}

int Torvex_Api_GetMileageTotalTime(int nGpuId, uint32_t* pnFirst, uint32_t* pnSecond, uint32_t* pnThird) {
    return OnBoard(nGpuId, AllGiven(pnFirst, pnSecond, pnThird), &CModel::TotalsRecorder,
                   [&](CMileage& recorder) { return recorder.GetTotalTime(pnFirst, pnSecond, pnThird); });
}

int Torvex_Api_GetMileageLatestTime(int nGpuId, uint32_t* pnFirst, uint32_t* pnSecond, uint32_t* pnThird) {
    return OnBoard(nGpuId, AllGiven(pnFirst, pnSecond, pnThird), &CModel::Recorder,
                   [&](CMileage& recorder) { return recorder.GetLatestTime(pnFirst, pnSecond, pnThird); });
}

int Torvex_Api_GetMileageLatestManual(int nGpuId, uint32_t* pnFirst, uint32_t* pnSecond, uint32_t* pnThird) {
    return OnBoard(nGpuId, AllGiven(pnFirst, pnSecond, pnThird), &CModel::Recorder,
                   [&](CMileage& recorder) { return recorder.GetManualTime(pnFirst, pnSecond, pnThird); });
}

int Torvex_Api_GetMileageStatus(int nGpuId, int32_t* pnState) {
    return OnBoard(nGpuId, AllGiven(pnState), &CModel::Recorder, [&](CMileage& recorder) {
        *pnState = recorder.State();
        return 0;
    });
}

int Torvex_Api_SetMileage_Rec(int nGpuId, int32_t nState) {
    return OnBoard(nGpuId, AllGiven(), &CModel::Recorder,
                   [&](CMileage& recorder) { return recorder.SetRec(nState); });
}

int Torvex_Api_SetMileage_Rec_Stop(int nGpuId) {
    return OnBoard(nGpuId, AllGiven(), &CModel::Recorder, [](CMileage& recorder) {
        recorder.AccumulateSinceStart();
        return 0;
    });
}

int Torvex_Api_Get_GSensor_Data(int nGpuId, GSensorData* pRaw, GSensorData* pFiltered) {
    return OnBoard(nGpuId, AllGiven(pRaw, pFiltered), &CModel::TiltSensor,
                   [&](CGSensor& sensor) { return sensor.GetSensorData(pRaw, pFiltered); });
}

}  // extern "C"
