// The board record: one per GPU. It ties the GPU identifier the host uses to the device objects
// that talk to the chips on that GPU's card, keeps what probing found, and decides, through its
// gates, which of its devices an operation may use.
//
// Copying a record is not a member-wise copy: the copy makes its own device objects and probes
// the board again (the controller and, unlike the primary constructor, the tilt sensor). Original
// and copy share the GPU's bus.
#pragma once

#include <cstdint>
#include <memory>

#include "TorvexModule.h"
#include "card/gsensor.h"
#include "card/it8915_registers.h"
#include "card/mileage.h"
#include "card/power_detect.h"
#include "gpu/gpu_entry.h"
#include "gpu/i2c_bus.h"

class CModel {
public:
    // Builds the record for one entry of the GPU table and probes the controller. For an NVIDIA
    // GPU it also writes the bus number it queried into that table entry.
    explicit CModel(GpuEntry& entry);
    CModel(const CModel& other);
    CModel& operator=(const CModel&) = delete;
    virtual ~CModel() = default;

    // Gates: the device an operation needs, or null when the record refuses the operation.
    // The power status, the thermal map and the usage-time totals need firmware that offers
    // readings and their capability bit.
    CPowerDetect* PowerStatusMonitor() const { return MonitorIfOffered(TORVEX_FUNCTION_POWER_STATUS); }
    CPowerDetect* ThermalMapMonitor() const { return MonitorIfOffered(TORVEX_FUNCTION_THERMAL_MAP); }
    CMileage* TotalsRecorder() const;
    // The other usage-time operations need only the controller.
    CMileage* Recorder() const { return m_bSupportMPT ? m_spMileage.get() : nullptr; }
    // The tilt data needs the sensor's driver.
    CGSensor* TiltSensor() const;

    bool HasTiltSensor() const { return m_bSupportGSensor; }

    // Reads the controller's version again into the record and, by the version, its capability
    // bits, and writes both to *support: 0; -1 for firmware older than 0x500 (nothing written);
    // -2 when a version register cannot be read (nothing written).
    int CheckFunctionSupport(FunctionSupport* support);
    // Reads the controller's version through NVAPI, whatever the GPU's vendor, and writes whether
    // the firmware is supported to *supported (0 unless it is): 0 supported; -1 too old; -2 a
    // version register cannot be read. The record is not changed.
    int CheckControllerSupport(uint8_t* supported) const;

    // The PCI bus number of the GPU (255 when it could not be determined).
    uint32_t m_nGpuId = 0;

private:
    // 0 when the controller answered and both controller drivers were attached, -1 otherwise.
    int ProbeMPT();
    // True when the tilt sensor answered and its driver was attached to the front.
    bool ProbeGSensor();
    void AttachControllers();
    void DropDevices();
    void LoadCapabilities(uint32_t bits);
    CPowerDetect* MonitorIfOffered(uint32_t capability) const {
        return Offers(capability) ? m_spPowerDetect.get() : nullptr;
    }
    bool Offers(uint32_t capability) const {
        return it8915::OffersReadings(m_nFwVersion) && (m_nFunctionSupport & capability) != 0;
    }

    // Empty after the controller failed to identify itself on its first identification byte.
    std::shared_ptr<CPowerDetect> m_spPowerDetect;
    std::shared_ptr<CMileage> m_spMileage;
    // Set in every copy; its driver is present only when the board has the tilt sensor.
    std::shared_ptr<CGSensor> m_spGSensor;
    std::shared_ptr<const I2cBus> m_spBus;
    bool m_bSupportMPT = false;
    bool m_bSupportGSensor = false;
    // Bits 0..3: usage-time totals, power status, thermal map, and one passed on to the host.
    uint32_t m_nFunctionSupport = 0;
    // Register 0x1F * 256 + register 0x1E.
    uint32_t m_nFwVersion = 0;
};
