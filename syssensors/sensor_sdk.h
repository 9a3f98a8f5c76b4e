// The binding to the CPUID system-monitoring SDK (cpuidsdk.dll, on x64 cpuidsdk64.dll): finding and
// loading the library, the binding object with its 64 function slots, starting an SDK instance, and
// undoing a start.
// The callers hold the sensor lock (syssensors/sensor_catalogue.h).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "syssensors/sensor_reading.h"
#include "vendor/cpuidsdk_abi.h"

class CPUIDSDK {
public:
    // Frees the object only: nothing of the SDK is released here.
    virtual ~CPUIDSDK() = default;

    cpuidsdk::Instance m_hInstance = 0;      // 0 until SdkCreate has answered
    void* m_pfn[cpuidsdk::kSlotCount] = {};  // null: the operation is not available
};

// The library and the binding object: absent at load, set by a start, absent again after a
// failed one. A running SDK is kept until the process ends, so the library is deliberately not
// freed when the module unloads (it may run threads of its own).
extern HMODULE g_hSdkModule;
extern std::unique_ptr<CPUIDSDK> g_pSdk;

// Loads the library from the first of the candidate folders that has it, binds its slots, and
// creates and starts an instance; true when SdkInit reports success (the version line is then
// printed). On false whatever was loaded or created stays for ReleaseSensorSdk.
bool LoadSensorSdk();
// Closes and destroys the instance, frees the object and the library, and forgets them.
void ReleaseSensorSdk();

// The SDK operations of the catalogue on the started instance. Without an SDK or with the slot
// unbound each gives its fallback: -1 for the counts and the class, nothing for the name and the
// reading, and no refresh.
int32_t SdkDeviceCount();
int32_t SdkDeviceClass(int32_t device);
// The device name's 8-bit text (at most 511 bytes); false when the SDK gives none.
bool SdkDeviceName(int32_t device, std::string& name);
int32_t SdkSensorCount(int32_t device, int32_t sensorClass);
// A fresh reading of one sensor; false when the SDK does not fill it. The name is copied and its
// string freed either way.
bool SdkSensorInfo(int32_t device, int32_t sensor, int32_t sensorClass, SensorReading& reading);
void SdkRefresh();
