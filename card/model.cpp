#include "card/model.h"

#include "base/diag.h"
#include "card/it8915_registers.h"
#include "card/register_read.h"
#include "gpu/gpu_discovery.h"
#include "gpu/i2c_transport.h"

namespace {

using namespace it8915;

// Firmware above this version reports its capabilities instead of identifying itself.
constexpr uint32_t kIdentifyingFirmwareLast = 0x510;
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
    m_spPowerDetect = std::make_shared<CPowerDetect>(entry);
    m_spMileage = std::make_shared<CMileage>(entry);
    m_GpuEntry = entry;
    ProbeMPT(m_GpuEntry);
}

CModel::CModel(const CModel& other) {
    m_spPowerDetect = std::make_shared<CPowerDetect>(other.m_GpuEntry);
    m_spMileage = std::make_shared<CMileage>(other.m_GpuEntry);
    m_spGSensor = std::make_shared<CGSensor>();
    m_GpuEntry = other.m_GpuEntry;
    ProbeMPT(m_GpuEntry);
    ProbeGSensor(m_GpuEntry);
    m_nGpuId = static_cast<uint32_t>(m_GpuEntry.vendor == kGpuVendorNvidia ? QueryBusOrUnknown(m_GpuEntry)
                                                                             : m_GpuEntry.nBusNumber);
}

int CModel::ProbeMPT(GpuEntry& entry) {
    SelectI2cSpeed100k();
    const uint8_t low = ReadBoardByteOrZero(entry, kRegVersionLow);
    const uint8_t high = ReadBoardByteOrZero(entry, kRegVersionHigh);
    m_nFwVersion = VersionWord(high, low);

    if (m_nFwVersion > kIdentifyingFirmwareLast) {
        ReadBoardByteOrZero(entry, kRegBeforeCapabilities);
        const uint8_t capabilities = ReadBoardByteOrZero(entry, kRegCapabilities);
        m_nFunctionSupport = (m_nFunctionSupport & ~kCapabilityMask) | (capabilities & kCapabilityMask);
        AttachControllers(entry);
        return 0;
    }

    // Older firmware has to identify itself. Without the first byte the board is not ours and
    // loses its devices; with the first but not the second the devices stay, without drivers.
    uint8_t identification = 0;
    if (!ReadBoardByte(entry, kRegIdentification1, &identification)) {
        DropDevices();
        return -1;
    }
    StdoutPrint("0xB2 = %2x\n", identification);
    if (identification != kIdentification1) {
        DropDevices();
        return -1;
    }
    if (!ReadBoardByte(entry, kRegIdentification2, &identification) || identification != kIdentification2) {
        m_bSupportMPT = false;
        return -1;
    }
    AttachControllers(entry);
    DebugPrint(L"m_bSupportMPT :%d %0xX \r\n", m_bSupportMPT, FirstWordOf(entry));
    return 0;
}

bool CModel::ProbeGSensor(GpuEntry& entry) {
    SelectI2cSpeed100k();
    uint8_t ignored = 0;
    const bool first = ReadBoardByte(entry, kRegTiltPresence[0], &ignored);
    const bool second = ReadBoardByte(entry, kRegTiltPresence[1], &ignored);
    m_bSupportGSensor = first && second;
    const bool third = ReadBoardByte(entry, kRegTiltPresence[2], &ignored);
    const bool fourth = ReadBoardByte(entry, kRegTiltPresence[3], &ignored);
    if (m_bSupportGSensor && third && fourth) {
        m_spGSensor->AttachDriver(std::make_unique<CBMI321>(entry));
    } else {
        m_bSupportGSensor = false;
    }
    DebugPrint(L"CBMI321 :%d %0xX \r\n", m_bSupportGSensor, FirstWordOf(entry));
    return m_bSupportGSensor;
}

// Two controller drivers: one serves the power status and the thermal map, the other the
// usage-time counters.
void CModel::AttachControllers(GpuEntry& entry) {
    m_spPowerDetect->AttachController(std::make_unique<CIT8915_V2>(entry));
    m_spMileage->AttachController(std::make_unique<CIT8915_V2>(entry));
    m_bSupportMPT = true;
}

void CModel::DropDevices() {
    m_spPowerDetect.reset();
    m_spMileage.reset();
    m_bSupportMPT = false;
}
