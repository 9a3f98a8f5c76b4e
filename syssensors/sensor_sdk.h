// The binding to the CPUID system-monitoring SDK (cpuidsdk.dll, on x64 cpuidsdk64.dll): finding and
// loading the library, binding its 64 function slots, starting an SDK instance, and undoing a
// start. The slots the module calls, with their identifiers and signatures, are the table in
// vendor/cpuidsdk_abi.h. Whoever owns the binding runs one operation at a time.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "syssensors/sensor_reading.h"
#include "vendor/cpuidsdk_abi.h"

class SensorSdk {
public:
    // True from a start until it is undone, also when the start failed (the binding then stays for
    // Release).
    bool Bound() const { return m_binding != nullptr; }

    // Loads the library from the first of the candidate folders that has it, binds its slots, and
    // creates and starts an instance; true when SdkInit reports success (the version line is then
    // printed). On false whatever was loaded or created stays for Release.
    bool Load();
    // Closes and destroys the instance, frees the binding and the library, and forgets them.
    void Release();

    // The SDK operations of the catalogue on the started instance. Without a binding or with the
    // slot unbound each gives its fallback: -1 for the counts and the class, nothing for the name
    // and the reading, and no refresh.
    int32_t DeviceCount() const;
    int32_t DeviceClass(int32_t device) const;
    // The device name's 8-bit text (at most 511 bytes); false when the SDK gives none.
    bool DeviceName(int32_t device, std::string& name) const;
    int32_t SensorCount(int32_t device, int32_t sensorClass) const;
    // A fresh reading of one sensor; false when the SDK does not fill it. The name is copied and
    // its string freed either way.
    bool SensorInfo(int32_t device, int32_t sensor, int32_t sensorClass, SensorReading& reading) const;
    void Refresh() const;

private:
    struct Binding {
        cpuidsdk::Instance instance = 0;              // 0 until SdkCreate has answered
        void* functions[cpuidsdk::kSlotCount] = {};  // slot n: QueryInterface's answer for kBindingIds[n]
    };

    // The slot's function with the signature the table gives it; null without a binding or when
    // the slot is unbound.
    template <cpuidsdk::Slot S>
    typename cpuidsdk::SlotFunction<S>::Type Function() const {
        using Fn = typename cpuidsdk::SlotFunction<S>::Type;
        return m_binding ? reinterpret_cast<Fn>(m_binding->functions[S]) : nullptr;
    }
    void BindFunctions();

    // A running SDK is kept until the process ends, so the library is deliberately not freed when
    // the module unloads (it may run threads of its own): only Release frees it.
    HMODULE m_hModule = nullptr;
    std::unique_ptr<Binding> m_binding;
};
