#include "card/model.h"

#include "base/diag.h"
#include "card/controller_identity.h"
#include "card/it8915_registers.h"
#include "card/register_read.h"
#include "gpu/gpu_discovery.h"

namespace {

using namespace it8915;

constexpr int32_t kUnknownBus = 255;

int32_t QueryBusOrUnknown(const GpuEntry& entry) {
    int32_t bus = kUnknownBus;
    QueryGpuBusNumber(entry, &bus);
    return bus;
}

}  // namespace

CModel::CModel(GpuEntry& entry) {
    if (entry.hNvGpu != nullptr) {
        entry.nBusNumber = QueryBusOrUnknown(entry);
    }
    m_nGpuId = static_cast<uint32_t>(entry.nBusNumber);
    m_spPowerDetect = std::make_shared<CPowerDetect>();
    m_spMileage = std::make_shared<CMileage>();
    m_spBus = std::make_shared<const I2cBus>(entry);
    ProbeMPT();
}

CModel::CModel(const CModel& other) {
    m_spPowerDetect = std::make_shared<CPowerDetect>();
    m_spMileage = std::make_shared<CMileage>();
    m_spGSensor = std::make_shared<CGSensor>();
    m_spBus = other.m_spBus;
    ProbeMPT();
    ProbeGSensor();
    const GpuEntry& entry = m_spBus->Entry();
    m_nGpuId = static_cast<uint32_t>(entry.vendor == kGpuVendorNvidia ? QueryBusOrUnknown(entry) : entry.nBusNumber);
}

CMileage* CModel::TotalsRecorder() const {
    return Offers(TORVEX_FUNCTION_MILEAGE_TOTAL) ? m_spMileage.get() : nullptr;
}

CGSensor* CModel::TiltSensor() const {
    return m_spGSensor && m_spGSensor->HasDriver() ? m_spGSensor.get() : nullptr;
}

int CModel::CheckFunctionSupport(FunctionSupport* support) {
    I2cBus::Select100kHz();
    const FirmwareVersion version = ReadFirmwareVersion(*m_spBus);
    m_nFwVersion = version.nWord;
    if (!version.bBothRead) return -2;
    if (CheckReadsCapabilities(m_nFwVersion)) {
        LoadCapabilities(ReadCapabilityBits(*m_spBus));
    } else if (IsSupportedFirmware(m_nFwVersion)) {
        m_nFunctionSupport |= kCapabilityMask;
    } else {
        return -1;
    }
    support->nFunction = m_nFunctionSupport;
    support->nVersion = m_nFwVersion;
    return 0;
}

int CModel::CheckControllerSupport(uint8_t* supported) const {
    I2cBus::Select100kHz();
    const FirmwareVersion version = ReadFirmwareVersion(*m_spBus, I2cRoute::NvApi);
    *supported = 0;
    if (!version.bBothRead) return -2;
    if (!IsSupportedFirmware(version.nWord)) return -1;
    *supported = 1;
    return 0;
}

int CModel::ProbeMPT() {
    I2cBus::Select100kHz();
    m_nFwVersion = ReadFirmwareVersion(*m_spBus).nWord;
    if (ProbeReadsCapabilities(m_nFwVersion)) {
        LoadCapabilities(ReadCapabilityBits(*m_spBus));
        AttachControllers();
        return 0;
    }

    // Older firmware has to identify itself. Without the first byte the board is not ours and
    // loses its devices; with the first but not the second the devices stay, without drivers.
    uint8_t identification = 0;
    if (!ReadRegister(*m_spBus, kDeviceAddress, kRegIdentification1, &identification)) {
        DropDevices();
        return -1;
    }
    StdoutPrint("0xB2 = %2x\n", identification);
    if (identification != kIdentification1) {
        DropDevices();
        return -1;
    }
    if (!ReadRegister(*m_spBus, kDeviceAddress, kRegIdentification2, &identification) ||
        identification != kIdentification2) {
        m_bSupportMPT = false;
        return -1;
    }
    AttachControllers();
    DebugPrint(L"m_bSupportMPT :%d %0xX \r\n", m_bSupportMPT, FirstWordOf(m_spBus->Entry()));
    return 0;
}

bool CModel::ProbeGSensor() {
    I2cBus::Select100kHz();
    uint8_t ignored = 0;
    const auto answers = [&](uint8_t reg) { return ReadRegister(*m_spBus, kDeviceAddress, reg, &ignored); };
    const bool first = answers(kRegTiltPresence[0]);
    const bool second = answers(kRegTiltPresence[1]);
    m_bSupportGSensor = first && second;
    const bool third = answers(kRegTiltPresence[2]);
    const bool fourth = answers(kRegTiltPresence[3]);
    if (m_bSupportGSensor && third && fourth) {
        m_spGSensor->AttachDriver(std::make_unique<CBMI321>(m_spBus, kDeviceAddress));
    } else {
        m_bSupportGSensor = false;
    }
    DebugPrint(L"CBMI321 :%d %0xX \r\n", m_bSupportGSensor, FirstWordOf(m_spBus->Entry()));
    return m_bSupportGSensor;
}

// Two controller drivers: one serves the power status and the thermal map, the other the
// usage-time counters.
void CModel::AttachControllers() {
    m_spPowerDetect->AttachController(std::make_unique<CIT8915_V2>(m_spBus, kDeviceAddress));
    m_spMileage->AttachController(std::make_unique<CIT8915_V2>(m_spBus, kDeviceAddress));
    m_bSupportMPT = true;
}

void CModel::DropDevices() {
    m_spPowerDetect.reset();
    m_spMileage.reset();
    m_bSupportMPT = false;
}

void CModel::LoadCapabilities(uint32_t bits) { m_nFunctionSupport = (m_nFunctionSupport & ~kCapabilityMask) | bits; }
