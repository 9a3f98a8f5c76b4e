// The twelve board exports. Each finds the record its GPU identifier addresses, tests the gate the
// operation needs and calls the device object; a missing record, a closed gate or an absent device
// gives -1 with nothing written.
#include "TorvexModule.h"
#include "base/diag.h"
#include "base/export_guard.h"
#include "card/it8915_registers.h"
#include "card/model.h"
#include "card/register_read.h"
#include "gpu/i2c_transport.h"
#include "helperchannel/qlxsw_flag.h"
#include "module/board_registry.h"

namespace {

using namespace it8915;

// Firmware from this version on offers the board functions at all.
constexpr uint32_t kFunctionFirmware = 0x500;
// Firmware from this version on reports its capabilities; from 0x500 to here it has all four.
constexpr uint32_t kCapabilityFirmware = 0x510;
// The totals, power status and thermal map need firmware newer than this.
constexpr uint32_t kGatedFunctionFirmware = 0x148;

bool VersionGateOpen(const CModel& model, uint32_t capability) {
    return model.m_nFwVersion > kGatedFunctionFirmware && (model.m_nFunctionSupport & capability) != 0;
}

// The recorder, when the controller is present; null otherwise.
CMileage* Recorder(const CModel* model) {
    return model && model->m_bSupportMPT ? model->m_spMileage.get() : nullptr;
}

// The controller's version word; either byte counts as 0 when its read fails.
struct VersionRead {
    uint32_t nVersion;
    bool bBothRead;
};

VersionRead ReadVersion(const GpuEntry& entry) {
    SelectI2cSpeed100k();
    uint8_t low = 0;
    uint8_t high = 0;
    const bool lowRead = ReadBoardByte(entry, kRegVersionLow, &low);
    const bool highRead = ReadBoardByte(entry, kRegVersionHigh, &high);
    if (!lowRead) low = 0;
    if (!highRead) high = 0;
    return VersionRead{VersionWord(high, low), lowRead && highRead};
}

// One register read straight through NVAPI, whatever the GPU's vendor.
bool ReadByteThroughNvApi(const GpuEntry& entry, uint8_t reg, uint8_t* value) {
    SelectI2cSpeed100k();
    return i2c_transport::NvRead(entry, kBoardDeviceAddress, reg, value, 1) == nvapi::NVAPI_OK;
}

int CheckFunctionSupport(CModel& model, FunctionSupport* support) {
    const VersionRead version = ReadVersion(model.m_GpuEntry);
    model.m_nFwVersion = version.nVersion;
    if (!version.bBothRead) return -2;
    if (model.m_nFwVersion >= kCapabilityFirmware) {
        ReadBoardByteOrZero(model.m_GpuEntry, kRegBeforeCapabilities);
        const uint8_t capabilities = ReadBoardByteOrZero(model.m_GpuEntry, kRegCapabilities);
        model.m_nFunctionSupport = (model.m_nFunctionSupport & ~kCapabilityMask) | (capabilities & kCapabilityMask);
    } else if (model.m_nFwVersion >= kFunctionFirmware) {
        model.m_nFunctionSupport |= kCapabilityMask;
    } else {
        return -1;
    }
    support->nFunction = model.m_nFunctionSupport;
    support->nVersion = model.m_nFwVersion;
    return 0;
}

}  // namespace

extern "C" {

int Torvex_Api_Check_Function_Support(int nGpuId, FunctionSupport* pSupport) {
    return ExportGuard([&] {
        CModel* const model = FindModel(nGpuId);
        if (!model) return -1;
        const int result = CheckFunctionSupport(*model, pSupport);
        // The QLXSW device supplies power status even where the board does not, whatever the
        // board's answer was.
        if (g_bQLXSWPresent) pSupport->nFunction |= TORVEX_FUNCTION_POWER_STATUS;
        return result;
    });
}

int Torvex_Api_Check_MTPD_Support(int nGpuId, uint8_t* pbSupported) {
    return ExportGuard([&] {
        const CModel* const model = FindModel(nGpuId);
        if (!model) return -1;
        uint8_t low = 0;
        uint8_t high = 0;
        const bool lowRead = ReadByteThroughNvApi(model->m_GpuEntry, kRegVersionLow, &low);
        const bool highRead = ReadByteThroughNvApi(model->m_GpuEntry, kRegVersionHigh, &high);
        *pbSupported = 0;
        if (!lowRead || !highRead) return -2;
        if (VersionWord(high, low) < kFunctionFirmware) return -1;
        *pbSupported = 1;
        return 0;
    });
}

int Torvex_Api_Check_GSensor_Support(int nGpuId, uint8_t* pbPresent) {
    return ExportGuard([&] {
        const CModel* const model = FindModel(nGpuId);
        if (!model) return -1;
        const uint8_t present = model->m_bSupportGSensor ? 1 : 0;
        *pbPresent = present;
        return static_cast<int>(present);
    });
}

int Torvex_Api_GetThermalMap(int nGpuId, ThermalMap* pMap) {
    return ExportGuard([&] {
        const CModel* const model = FindModel(nGpuId);
        if (!model || !VersionGateOpen(*model, TORVEX_FUNCTION_THERMAL_MAP) || !model->m_spPowerDetect) return -1;
        return model->m_spPowerDetect->GetThermalMap(pMap);
    });
}

int Torvex_Api_GetPowerStatus(int nGpuId, QLXSWPowerStatus* pStatus) {
    return ExportGuard([&] {
        const CModel* const model = FindModel(nGpuId);
        if (!model || !VersionGateOpen(*model, TORVEX_FUNCTION_POWER_STATUS) || !model->m_spPowerDetect) return -1;
        return model->m_spPowerDetect->GetPowerStatus(pStatus);
    });
}

int Torvex_Api_GetMileageTotalTime(int nGpuId, uint32_t* pnFirst, uint32_t* pnSecond, uint32_t* pnThird) {
    return ExportGuard([&] {
        const CModel* const model = FindModel(nGpuId);
        if (!model || !VersionGateOpen(*model, TORVEX_FUNCTION_MILEAGE_TOTAL) || !model->m_spMileage) return -1;
        return model->m_spMileage->GetTotalTime(pnFirst, pnSecond, pnThird);
    });
}

int Torvex_Api_GetMileageLatestTime(int nGpuId, uint32_t* pnFirst, uint32_t* pnSecond, uint32_t* pnThird) {
    return ExportGuard([&] {
        CMileage* const recorder = Recorder(FindModel(nGpuId));
        return recorder ? recorder->GetLatestTime(pnFirst, pnSecond, pnThird) : -1;
    });
}

int Torvex_Api_GetMileageLatestManual(int nGpuId, uint32_t* pnFirst, uint32_t* pnSecond, uint32_t* pnThird) {
    return ExportGuard([&] {
        CMileage* const recorder = Recorder(FindModel(nGpuId));
        return recorder ? recorder->GetManualTime(pnFirst, pnSecond, pnThird) : -1;
    });
}

int Torvex_Api_GetMileageStatus(int nGpuId, int32_t* pnState) {
    return ExportGuard([&] {
        const CMileage* const recorder = Recorder(FindModel(nGpuId));
        if (!recorder) return -1;
        *pnState = recorder->State();
        return 0;
    });
}

int Torvex_Api_SetMileage_Rec(int nGpuId, int32_t nState) {
    return ExportGuard([&] {
        CMileage* const recorder = Recorder(FindModel(nGpuId));
        return recorder ? recorder->SetRec(nState) : -1;
    });
}

int Torvex_Api_SetMileage_Rec_Stop(int nGpuId) {
    return ExportGuard([&] {
        CMileage* const recorder = Recorder(FindModel(nGpuId));
        if (!recorder) return -1;
        recorder->AccumulateSinceStart();
        return 0;
    });
}

int Torvex_Api_Get_GSensor_Data(int nGpuId, GSensorData* pRaw, GSensorData* pFiltered) {
    return ExportGuard([&] {
        const CModel* const model = FindModel(nGpuId);
        CBMI321* const sensor = model && model->m_spGSensor ? model->m_spGSensor->Driver() : nullptr;
        if (!sensor) return -1;
        DebugPrint(L"GetSensorData start\n");
        DebugPrint(L"Before GetSensorData: fXsign = %.5f, fYsign = %.5f, fZsign = %.5f\n", static_cast<double>(pRaw->fXsign),
                   static_cast<double>(pRaw->fYsign), static_cast<double>(pRaw->fZsign));
        sensor->GetSensorData(pRaw, pFiltered);
        DebugPrint(L"After GetSensorData: fXsign = %.5f, fYsign = %.5f, fZsign = %.5f\n",
                   static_cast<double>(pFiltered->fXsign), static_cast<double>(pFiltered->fYsign),
                   static_cast<double>(pFiltered->fZsign));
        DebugPrint(L"GetSensorData end\n");
        return 0;
    });
}

}  // extern "C"
