// NVAPI as the driver serves it: initialise first, then list the GPUs, ask their bus numbers and
// read their I2C devices. Every field of an I2C request is checked the way the driver checks it.
#include <algorithm>
#include <cstring>

#include "bench.h"

namespace bench {
namespace {

using namespace nvapi;

// Handles are made-up addresses that encode the scenario GPU; nothing ever follows them.
constexpr uintptr_t kHandleBase = 0x4E560000;
constexpr uintptr_t kHandleStride = 0x100;
constexpr NvU32 kFastestSpeedCode = 6;  // NVAPI_I2C_SPEED_400KHZ
constexpr NvU8 kOnboardPortId = 1;

NvPhysicalGpuHandle HandleOf(size_t gpuIndex) {
    return reinterpret_cast<NvPhysicalGpuHandle>(kHandleBase + gpuIndex * kHandleStride);
}

}  // namespace

bool Bench::NvServes(NvU32 id) {
    m_counters.Add(CounterId::NvapiQuery);
    const NvHooks hooks = m_machine.nvapi.hooks;
    bool serves = id == kIdInitialize || id == kIdEnumPhysicalGPUs || id == kIdGpuGetBusId ||
                        id == kIdI2CReadEx || (id == kIdBeforeCallHook && hooks != NvHooks::None) ||
                        (id == kIdAfterCallHook && hooks == NvHooks::BeforeAndAfter);
    const auto& withheld = m_machine.nvapi.withheld;
    serves = serves && std::find(withheld.begin(), withheld.end(), id) == withheld.end();
    if (!serves) m_counters.Add(CounterId::NvapiQueryUnknown);
    return serves;
}

void Bench::NvBeforeCallHook() { m_counters.Add(CounterId::NvapiHookBefore); }

void Bench::NvAfterCallHook() { m_counters.Add(CounterId::NvapiHookAfter); }

NvAPI_Status Bench::NvInitialize() {
    m_counters.Add(CounterId::NvapiInitialize);
    if (m_machine.nvapi.initialize == NVAPI_OK) m_nvInitialized = true;
    return m_machine.nvapi.initialize;
}

int Bench::NvGpuIndex(NvPhysicalGpuHandle handle) const {
    const auto value = reinterpret_cast<uintptr_t>(handle);
    if (value < kHandleBase || (value - kHandleBase) % kHandleStride != 0) return -1;
    const size_t index = (value - kHandleBase) / kHandleStride;
    if (index >= m_machine.gpus.size() || m_machine.gpus[index].vendor != Vendor::Nvidia) return -1;
    return static_cast<int>(index);
}

NvAPI_Status Bench::NvEnumPhysicalGPUs(NvPhysicalGpuHandle* handles, NvU32* count) {
    m_counters.Add(CounterId::NvapiEnum);
    if (!m_nvInitialized) return NVAPI_API_NOT_INITIALIZED;
    if (!handles || !count) return NVAPI_INVALID_ARGUMENT;
    if (m_machine.nvapi.enumerate != NVAPI_OK) return m_machine.nvapi.enumerate;
    NvU32 listed = 0;
    for (size_t i = 0; i < m_machine.gpus.size() && listed < kMaxPhysicalGpus; ++i)
        if (m_machine.gpus[i].vendor == Vendor::Nvidia) handles[listed++] = HandleOf(i);
    *count = listed;
    return NVAPI_OK;
}

NvAPI_Status Bench::NvGetBusId(NvPhysicalGpuHandle handle, NvU32* busId) {
    m_counters.Add(CounterId::NvapiBusId);
    if (!m_nvInitialized) return NVAPI_API_NOT_INITIALIZED;
    const int gpuIndex = NvGpuIndex(handle);
    if (gpuIndex < 0) return NVAPI_INVALID_HANDLE;
    if (!busId) return NVAPI_INVALID_ARGUMENT;
    const Gpu& gpu = m_machine.gpus[gpuIndex];
    if (gpu.busQueryFails) return NVAPI_ERROR;
    *busId = static_cast<NvU32>(gpu.bus);
    return NVAPI_OK;
}

NvAPI_Status Bench::NvCheckRead(int gpuIndex, const NV_I2C_INFO_V3* info, const NvU32* flags) const {
    if (!m_nvInitialized) return NVAPI_API_NOT_INITIALIZED;
    if (gpuIndex < 0) return NVAPI_INVALID_HANDLE;
    if (!info) return NVAPI_INVALID_ARGUMENT;
    if (info->version != NV_I2C_INFO_VER3) return NVAPI_INCOMPATIBLE_STRUCT_VERSION;
    // Only the GPU's own port 1 carries the board's chips; a display's DDC port has none.
    if (info->bIsDDCPort != 0 || info->portId != kOnboardPortId || info->bIsPortIdSet != 1)
        return NVAPI_PORTID_NOT_FOUND;
    const bool argumentsOk = info->i2cSpeed == NVAPI_I2C_SPEED_DEPRECATED && info->i2cSpeedKhz <= kFastestSpeedCode &&
                             info->regAddrSize == 1 && info->pbI2cRegAddress && info->pbData &&
                             info->cbSize >= 1 && info->cbSize <= 255 && flags;
    return argumentsOk ? NVAPI_OK : NVAPI_INVALID_ARGUMENT;
}

NvAPI_Status Bench::NvI2CReadEx(NvPhysicalGpuHandle handle, NV_I2C_INFO_V3* info, NvU32* flags) {
    m_counters.Add(CounterId::NvapiI2c);
    const int gpuIndex = NvGpuIndex(handle);
    NvAPI_Status status = NvCheckRead(gpuIndex, info, flags);
    if (status == NVAPI_OK) {
        const ReadResult read =
            ReadDevice(gpuIndex, info->i2cDevAddress, info->pbI2cRegAddress[0], info->cbSize, info->pbData);
        status = read.ok ? NVAPI_OK : (read.failureStatus != 0 ? read.failureStatus : NVAPI_ERROR);
    } else {
        m_counters.Add(CounterId::I2cRefused);
    }
    if (m_log.Enabled()) LogNvRead(gpuIndex, status, info, flags);
    return status;
}

void Bench::LogNvRead(int gpuIndex, NvAPI_Status status, const NV_I2C_INFO_V3* info, const NvU32* flags) {
    TorvexBenchI2cRecord record{};
    record.nCall = TorvexBenchCall_NvI2CReadEx;
    record.nGpuIndex = gpuIndex;
    record.nResult = status;
    record.nRegister = -1;
    record.nvFlagsPtrNull = flags == nullptr;
    record.nvFlagsValue = flags ? *flags : 0;
    if (info) {
        record.nDevAddress = info->i2cDevAddress;
        record.nRegister = info->pbI2cRegAddress ? info->pbI2cRegAddress[0] : -1;
        record.nLength = static_cast<int32_t>(info->cbSize);
        record.nvVersion = info->version;
        record.nvDisplayMask = info->displayMask;
        record.nvIsDDCPort = info->bIsDDCPort;
        record.nvRegAddrSize = info->regAddrSize;
        record.nvI2cSpeed = info->i2cSpeed;
        record.nvI2cSpeedKhz = info->i2cSpeedKhz;
        record.nvPortId = info->portId;
        record.nvIsPortIdSet = info->bIsPortIdSet;
        record.nvRegAddrPtrNull = info->pbI2cRegAddress == nullptr;
        record.nvDataPtrNull = info->pbData == nullptr;
        if (status == NVAPI_OK)
            std::memcpy(record.data, info->pbData, std::min<size_t>(info->cbSize, sizeof record.data));
    }
    m_log.Add(record);
}

}  // namespace bench
