// Entry points of torvexbench.dll for the bench's cpuidsdk.dll, not for hosts. Each takes what the
// SDK function took and returns what it returns; the stand-in only adds the SDK's binary interface
// (the QueryInterface export and the stdcall functions). Plain C types only.
#pragma once

#include <stdint.h>

#include "TorvexBench.h"
#include "vendor/cpuidsdk_abi.h"

extern "C" {

// DLL_PROCESS_ATTACH of the stand-in: 0 when the machine has no SDK. Detach counts an unload.
TORVEX_BENCH_API int TorvexBenchSdk_Attach(void);
TORVEX_BENCH_API void TorvexBenchSdk_Detach(void);
TORVEX_BENCH_API int TorvexBenchSdk_Serves(uint32_t id);

TORVEX_BENCH_API cpuidsdk::Instance TorvexBenchSdk_Create(void);
TORVEX_BENCH_API void TorvexBenchSdk_Destroy(cpuidsdk::Instance instance);
// callerHoldsStartLock: nonzero when the calling thread owns "Global\cpuzlock".
TORVEX_BENCH_API int32_t TorvexBenchSdk_Init(cpuidsdk::Instance instance, const char* directory, const char* fileName,
                                             int32_t featureMask, int32_t* error, int32_t* extendedError,
                                             int callerHoldsStartLock);
TORVEX_BENCH_API void TorvexBenchSdk_Close(cpuidsdk::Instance instance);
TORVEX_BENCH_API void TorvexBenchSdk_Refresh(cpuidsdk::Instance instance);
TORVEX_BENCH_API void TorvexBenchSdk_GetVersion(cpuidsdk::Instance instance, uint32_t* version);
TORVEX_BENCH_API int32_t TorvexBenchSdk_DeviceCount(cpuidsdk::Instance instance);
TORVEX_BENCH_API int32_t TorvexBenchSdk_DeviceClass(cpuidsdk::Instance instance, int32_t device);
// Strings are handed out as automation strings that the caller frees.
TORVEX_BENCH_API cpuidsdk::SdkString TorvexBenchSdk_DeviceName(cpuidsdk::Instance instance, int32_t device);
TORVEX_BENCH_API int32_t TorvexBenchSdk_SensorCount(cpuidsdk::Instance instance, int32_t device, int32_t sensorClass);
TORVEX_BENCH_API int32_t TorvexBenchSdk_SensorInfo(cpuidsdk::Instance instance, int32_t device, int32_t sensor,
                                                   int32_t sensorClass, int32_t* id, cpuidsdk::SdkString* name,
                                                   int32_t* rawValue, float* value, float* minimum, float* maximum);
}
