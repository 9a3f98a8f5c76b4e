// The board record: one per GPU. It ties the GPU identifier the host uses to the device objects
// that talk to the chips on that GPU's card, and keeps what probing found.
//
// Copying a record is not a member-wise copy: the copy makes its own device objects and probes
// the board again (the controller and, unlike the primary constructor, the tilt sensor).
#pragma once

#include <cstdint>
#include <memory>

#include "card/gsensor.h"
#include "card/mileage.h"
#include "card/power_detect.h"
#include "gpu/gpu_entry.h"

class CModel {
public:
    // Builds the record for one entry of the GPU table and probes the controller. For an NVIDIA
    // GPU it also writes the bus number it queried into that table entry.
    explicit CModel(GpuEntry& entry);
    CModel(const CModel& other);
    CModel& operator=(const CModel&) = delete;
    virtual ~CModel() = default;

    // The PCI bus number of the GPU (255 when it could not be determined).
    uint32_t m_nGpuId = 0;
    // Empty after the controller failed to identify itself on its first identification byte.
    std::shared_ptr<CPowerDetect> m_spPowerDetect;
    std::shared_ptr<CMileage> m_spMileage;
    // Set in every copy; its driver is present only when the board has the tilt sensor.
    std::shared_ptr<CGSensor> m_spGSensor;
    GpuEntry m_GpuEntry;
    bool m_bSupportMPT = false;
    bool m_bSupportGSensor = false;
    // Bits 0..3: usage-time totals, power status, thermal map, and one passed on to the host.
    uint32_t m_nFunctionSupport = 0;
    // Register 0x1F * 256 + register 0x1E.
    uint32_t m_nFwVersion = 0;

private:
    // 0 when the controller answered and both controller drivers were attached, -1 otherwise.
    int ProbeMPT(GpuEntry& entry);
    // True when the tilt sensor answered and its driver was attached to the front.
    bool ProbeGSensor(GpuEntry& entry);
    void AttachControllers(GpuEntry& entry);
    void DropDevices();
};
