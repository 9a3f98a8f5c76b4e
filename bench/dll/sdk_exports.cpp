// The entry points behind the SDK stand-in, and the SDK's part of the control interface.
#include <atomic>
#include <optional>
#include <string>
#include <thread>

#include "bench_sdk_entry.h"
#include "process_bench.h"
#include "sdk_strings.h"

using bench::Bench;
using cpuidsdk::Instance;
using cpuidsdk::SdkString;

namespace {

// The SDK is not safe from several threads, so its caller must keep to one call at a time. Each
// instance call marks itself inside, gives the other threads a moment to come in too, and counts
// an overlap when it finds another call already inside: a caller without its lock shows at once.
std::atomic<int> g_callsInside{0};

class SdkCall {
public:
    SdkCall() {
        if (g_callsInside.fetch_add(1) > 0) ProcessBench().With([](Bench& b) { b.Sdk().Overlapped(); });
        std::this_thread::yield();
    }
    ~SdkCall() { g_callsInside.fetch_sub(1); }
    SdkCall(const SdkCall&) = delete;
    SdkCall& operator=(const SdkCall&) = delete;
};

// Strings are allocated outside the bench's lock (see sdk_strings.cpp).
SdkString HandOut(const std::optional<std::string>& bytes) { return bytes ? HandOutSdkString(*bytes) : nullptr; }

}  // namespace

extern "C" {

const char* TorvexBench_SdkTrace(void) {
    return ProcessBench().With([](Bench& b) { return b.Sdk().Trace().c_str(); });
}

int TorvexBenchSdk_Attach(void) {
    return ProcessBench().With([](Bench& b) { return b.Sdk().Attach() ? 1 : 0; });
}

void TorvexBenchSdk_Detach(void) {
    ProcessBench().With([](Bench& b) { b.Sdk().Detach(); });
}

int TorvexBenchSdk_Serves(uint32_t id) {
    return ProcessBench().With([&](Bench& b) { return b.Sdk().Serves(id) ? 1 : 0; });
}

Instance TorvexBenchSdk_Create(void) {
    const SdkCall call;
    return ProcessBench().With([](Bench& b) { return b.Sdk().Create(); });
}

void TorvexBenchSdk_Destroy(Instance instance) {
    const SdkCall call;
    ProcessBench().With([&](Bench& b) { b.Sdk().Destroy(instance); });
}

int32_t TorvexBenchSdk_Init(Instance instance, const char* directory, const char* fileName, int32_t featureMask,
                            int32_t* error, int32_t* extendedError, int callerHoldsStartLock) {
    const SdkCall call;
    return ProcessBench().With([&](Bench& b) {
        return b.Sdk().Init(instance, directory, fileName, featureMask, error, extendedError, callerHoldsStartLock != 0);
    });
}

void TorvexBenchSdk_Close(Instance instance) {
    const SdkCall call;
    ProcessBench().With([&](Bench& b) { b.Sdk().Close(instance); });
}

void TorvexBenchSdk_Refresh(Instance instance) {
    const SdkCall call;
    ProcessBench().With([&](Bench& b) { b.Sdk().Refresh(instance); });
}

void TorvexBenchSdk_GetVersion(Instance instance, uint32_t* version) {
    const SdkCall call;
    ProcessBench().With([&](Bench& b) { b.Sdk().GetVersion(instance, version); });
}

int32_t TorvexBenchSdk_DeviceCount(Instance instance) {
    const SdkCall call;
    return ProcessBench().With([&](Bench& b) { return b.Sdk().DeviceCount(instance); });
}

int32_t TorvexBenchSdk_DeviceClass(Instance instance, int32_t device) {
    const SdkCall call;
    return ProcessBench().With([&](Bench& b) { return b.Sdk().DeviceClass(instance, device); });
}

SdkString TorvexBenchSdk_DeviceName(Instance instance, int32_t device) {
    const SdkCall call;
    return HandOut(ProcessBench().With([&](Bench& b) { return b.Sdk().DeviceName(instance, device); }));
}

int32_t TorvexBenchSdk_SensorCount(Instance instance, int32_t device, int32_t sensorClass) {
    const SdkCall call;
    return ProcessBench().With([&](Bench& b) { return b.Sdk().SensorCount(instance, device, sensorClass); });
}

int32_t TorvexBenchSdk_SensorInfo(Instance instance, int32_t device, int32_t sensor, int32_t sensorClass, int32_t* id,
                                  SdkString* name, int32_t* rawValue, float* value, float* minimum, float* maximum) {
    const SdkCall call;
    const auto answer =
        ProcessBench().With([&](Bench& b) { return b.Sdk().SensorInfo(instance, device, sensor, sensorClass); });
    if (!answer || !id || !name || !rawValue || !value || !minimum || !maximum) return 0;
    *id = answer->id;
    *name = HandOut(answer->name);
    *rawValue = answer->raw;
    *value = answer->value;
    *minimum = answer->minimum;
    *maximum = answer->maximum;
    return 1;
}

}  // extern "C"
