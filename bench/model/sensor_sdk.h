// The simulated system-monitoring SDK at work: it answers the SDK functions the way the library
// does, refuses calls on an instance it did not create (or destroyed, or did not start), keeps
// counters and a trace of the lifecycle calls, and keeps the ledger of the strings it hands out.
// The stand-in cpuidsdk.dll forwards every call here. Not thread-safe: the owner serialises calls.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "sensor_sdk_config.h"
#include "vendor/cpuidsdk_abi.h"

namespace bench {

// What happens to the strings the SDK hands out, by the address of their allocation. Strings are
// freed by the caller; the bench sees each allocation and each free of the process's task memory,
// so it knows which of its strings are still alive and which were freed twice.
class SdkStringLedger {
public:
    void HandedOut(uintptr_t block);
    // Any allocation: a block freed before and now handed out again is no longer a freed string.
    void Allocated(uintptr_t block);
    // A free (or the size query that precedes it) is about to touch the block. False for a string
    // freed before: the second free is counted and must be dropped.
    bool Touching(uintptr_t block, bool freeing);

    int64_t HandedOutCount() const { return m_handedOut; }
    int64_t FreedCount() const { return m_freed; }
    int64_t FreedTwiceCount() const { return m_freedTwice; }
    int64_t AliveCount() const { return static_cast<int64_t>(m_alive.size()); }

private:
    std::unordered_set<uintptr_t> m_alive;
    std::unordered_set<uintptr_t> m_freedBlocks;
    int64_t m_handedOut = 0;
    int64_t m_freed = 0;
    int64_t m_freedTwice = 0;
};

class SensorSdk {
public:
    // Runs the machine's SDK; instances, readings, counters, the trace and the ledger start afresh.
    void Load(const SensorSdkConfig& config);
    // The "sdk.*" counters; none for any other name.
    std::optional<int64_t> Counter(std::string_view name) const;
    // The lifecycle calls in order, "; " between them, e.g.
    // "load; create; init ..\..\bin cpuidsdk.dll 0x7FFFFFFF; version; close; destroy; unload".
    const std::string& Trace() const { return m_trace; }
    SdkStringLedger& Strings() { return m_strings; }

    // DLL_PROCESS_ATTACH of the library: false when the machine has no SDK (the load fails).
    bool Attach();
    void Detach();
    bool Serves(uint32_t id);
    // A call came in while another thread's call was still inside the SDK.
    void Overlapped() { Count(kOverlapping); }

    cpuidsdk::Instance Create();
    void Destroy(cpuidsdk::Instance instance);
    // callerHoldsStartLock: the caller held "Global\cpuzlock" while it started the SDK.
    int32_t Init(cpuidsdk::Instance instance, const char* directory, const char* fileName, int32_t featureMask,
                 int32_t* error, int32_t* extendedError, bool callerHoldsStartLock);
    void Close(cpuidsdk::Instance instance);
    void Refresh(cpuidsdk::Instance instance);
    void GetVersion(cpuidsdk::Instance instance, uint32_t* version);
    int32_t DeviceCount(cpuidsdk::Instance instance);
    int32_t DeviceClass(cpuidsdk::Instance instance, int32_t device);
    // The name's bytes, or none for a null string.
    std::optional<std::string> DeviceName(cpuidsdk::Instance instance, int32_t device);
    int32_t SensorCount(cpuidsdk::Instance instance, int32_t device, int32_t sensorClass);

    struct SensorAnswer {
        int32_t id = 0;
        std::optional<std::string> name;
        int32_t raw = 0;
        float value = 0.0f;
        float minimum = 0.0f;
        float maximum = 0.0f;
    };
    // Nothing when the SDK answers 0.
    std::optional<SensorAnswer> SensorInfo(cpuidsdk::Instance instance, int32_t device, int32_t sensor,
                                           int32_t sensorClass);

private:
    enum Counted : size_t {
        kLoads, kUnloads, kQuery, kQueryUnknown, kCreate, kInit, kInitUnderLock, kVersion, kRefresh, kDeviceCount,
        kDeviceClass, kDeviceName, kSensorCount, kSensorInfo, kClose, kDestroy, kRefused, kOverlapping, kCountedCount
    };
    struct InstanceState {
        bool started = false;
    };

    static const SensorSdkConfig kNoSdk;

    void Count(Counted c) { ++m_counts[c]; }
    void Note(const std::string& call);
    // The instance when it was created and not destroyed (and, when asked, started); counts a refusal otherwise.
    InstanceState* Live(cpuidsdk::Instance instance, bool mustBeStarted);
    const SdkDevice* Device(int32_t device) const;
    // The sensors of one class on one device, in class order.
    const std::vector<const SdkSensor*>* ClassSensors(int32_t device, int32_t sensorClass) const;

    const SensorSdkConfig* m_config = &kNoSdk;
    std::vector<std::map<int32_t, std::vector<const SdkSensor*>>> m_byClass;  // per device
    std::map<cpuidsdk::Instance, InstanceState> m_instances;
    cpuidsdk::Instance m_nextInstance = 0;
    uint64_t m_reading = 0;
    std::array<int64_t, kCountedCount> m_counts{};
    std::string m_trace;
    SdkStringLedger m_strings;
};

}  // namespace bench
