// Control interface of the virtual bench, exported by torvexbench.dll (cdecl, undecorated).
//
// torvexbench.dll holds the one simulated machine of a process. The bench's stand-ins for
// nvapi.dll, atiadlxy.dll and amdadlx32.dll (in a 64-bit build nvapi64.dll, atiadlxx.dll and
// amdadlx64.dll; vendor/vendor_names.h) are thin and forward every vendor call to it, so a
// test (or torvexctl) that links this interface sees and steers the same machine the module talks
// to. At first use the machine comes from the scenario file named by the environment variable
// TORVEX_BENCH_SCENARIO, or else from the built-in default machine.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if !defined(_WIN32)
#define TORVEX_BENCH_API  // the native build links the model statically, for its tests
#elif defined(TORVEX_BENCH_BUILD)
#define TORVEX_BENCH_API __declspec(dllexport)
#else
#define TORVEX_BENCH_API __declspec(dllimport)
#endif

// ---- Scenario ---------------------------------------------------------------------------------
// Replace the whole machine (and reset every vendor library's state, counters and the log).
// 0 on success; -1 when the text is not a valid scenario (TorvexBench_LastError says why; the
// previous machine stays).
TORVEX_BENCH_API int TorvexBench_LoadScenarioText(const char* jsonText);
TORVEX_BENCH_API int TorvexBench_LoadScenarioFile(const char* path);
TORVEX_BENCH_API void TorvexBench_LoadDefaultScenario(void);
TORVEX_BENCH_API const char* TorvexBench_LastError(void);
// The running machine's "name" (empty when the scenario gives none), as tools show it. Valid until
// the next load.
TORVEX_BENCH_API const char* TorvexBench_ScenarioName(void);

// ---- Registers and faults (gpuIndex: position in the scenario's "gpus" list) ------------------
// 0 on success; -1 for an unknown GPU or device. A register set here keeps its value on a
// lively board.
TORVEX_BENCH_API int TorvexBench_SetRegister(int gpuIndex, int devAddress, int reg, int value);
// The register's current value (0..255), or -1 for an unknown GPU or device.
TORVEX_BENCH_API int TorvexBench_GetRegister(int gpuIndex, int devAddress, int reg);
// Make reads that touch the register fail: reads > 0 fails the next that many reads, -1 fails
// every read until cleared, 0 clears the fault. status 0 picks the vendor's usual failure code.
TORVEX_BENCH_API int TorvexBench_FailRegister(int gpuIndex, int devAddress, int reg, int reads, int status);
// Freeze (0) or resume (1) the scenario's time-driven register changes.
TORVEX_BENCH_API void TorvexBench_SetLively(int lively);
// From now on each I2C read (NVAPI or ADLX) returns only after this many milliseconds more; 0
// ends it. A read keeps the hold it began with, and spends it outside the bench's lock, so that
// other threads' calls go on meanwhile: for tests of a caller's own locking.
TORVEX_BENCH_API void TorvexBench_HoldReads(int milliseconds);

// ---- Transaction log --------------------------------------------------------------------------
enum TorvexBenchCall {
    TorvexBenchCall_NvI2CReadEx = 1,
    TorvexBenchCall_AdlxRead = 2,
    TorvexBenchCall_AdlxRepeatedStartRead = 3,
};

// One I2C transaction with every field the caller passed.
typedef struct TorvexBenchI2cRecord {
    int32_t nCall;       // TorvexBenchCall
    int32_t nGpuIndex;   // scenario GPU index, -1 when the handle or interface was not recognised
    int32_t nResult;     // status returned to the caller
    int32_t nDevAddress; // device address byte as passed
    int32_t nRegister;   // register number (NVAPI: first byte behind pbI2cRegAddress, -1 if null)
    int32_t nLength;     // bytes requested (NVAPI cbSize, ADLX dataSize)
    // NVAPI only: the record's fields as passed.
    uint32_t nvVersion;
    uint32_t nvDisplayMask;
    uint32_t nvIsDDCPort;
    uint32_t nvRegAddrSize;
    uint32_t nvI2cSpeed;
    uint32_t nvI2cSpeedKhz;
    uint32_t nvPortId;
    uint32_t nvIsPortIdSet;
    int32_t nvRegAddrPtrNull;  // 1 when pbI2cRegAddress was null
    int32_t nvDataPtrNull;     // 1 when pbData was null
    int32_t nvFlagsPtrNull;    // 1 when the third argument was null
    uint32_t nvFlagsValue;     // value behind the third argument
    // ADLX only.
    int32_t adlxLine;
    int32_t adlxSpeed;
    // The first bytes delivered on success.
    uint8_t data[32];
} TorvexBenchI2cRecord;

TORVEX_BENCH_API void TorvexBench_SetLogEnabled(int enabled);
TORVEX_BENCH_API int TorvexBench_LogCount(void);
// 0 and *out filled, or -1 when index is out of range.
TORVEX_BENCH_API int TorvexBench_LogEntry(int index, TorvexBenchI2cRecord* out);
TORVEX_BENCH_API void TorvexBench_ClearLog(void);

// ---- Counters ---------------------------------------------------------------------------------
// Named counters of vendor activity since the scenario was loaded; unknown names give -1.
//   "nvapi.loads", "atiadlxy.loads", "amdadlx32.loads"   DLL_PROCESS_ATTACH of each stand-in
//                                                          (refused loads included)
//   "nvapi.query", "nvapi.query_unknown"                   nvapi_QueryInterface calls; those
//                                                          answered with null
//   "nvapi.initialize", "nvapi.enum", "nvapi.busid", "nvapi.i2c"
//   "nvapi.hook_before", "nvapi.hook_after"                calls of the hooks
//   "adl.create", "adl.malloc", "adl.destroy"              context creations, allocation
//                                                          callbacks, context destructions
//   "adlx.query_version"                                   ADLXQueryFullVersion, ADLXQueryVersion
//   "adlx.init", "adlx.init_with_adl", "adlx.terminate"
//   "adlx.release_callback", "adlx.release_not_cleared"    release callbacks; those that left
//                                                          the pointer set
//   "adlx.getgpus", "adlx.geti2c", "adlx.mapping"          (mapping: calls of any mapping slot)
//   "adlx.i2c"                                             IADLXI2C Read and RepeatedStartRead
//   "adlx.invalid_object"                                  calls through an unknown or released
//                                                          interface, releases beyond the count
//   "adlx.refs"                                            references the caller holds right now on
//                                                          ADLX GPU, list and I2C interfaces
//   "i2c.refused"                                          I2C transactions of either vendor
//                                                          refused for what the caller passed
//   "sdk.loads", "sdk.unloads"                             DLL_PROCESS_ATTACH (refused ones included)
//                                                          and unloads by FreeLibrary of cpuidsdk.dll
//   "sdk.query", "sdk.query_unknown"                       its QueryInterface calls; those answered
//                                                          with null
//   "sdk.create", "sdk.init", "sdk.version", "sdk.refresh", "sdk.close", "sdk.destroy",
//   "sdk.device_count", "sdk.device_class", "sdk.device_name", "sdk.sensor_count",
//   "sdk.sensor_info"                                      calls of each SDK function
//   "sdk.init_under_lock"                                  SdkInit calls made while the caller owned
//                                                          the mutex "Global\cpuzlock"
//   "sdk.refused"                                          SDK calls refused: an instance that was
//                                                          not created, was destroyed or, for the
//                                                          readings, was not started
//   "sdk.strings", "sdk.strings_freed"                     strings the SDK handed out; those freed
//   "sdk.strings_alive"                                    strings handed out and not freed yet
//   "sdk.strings_freed_twice"                              frees of a string already freed (the
//                                                          bench drops them)
TORVEX_BENCH_API int64_t TorvexBench_Counter(const char* name);

// ---- System-monitoring SDK ----------------------------------------------------------------------
// The SDK's lifecycle calls since the scenario was loaded, "; " between them: "load", "create",
// "init <directory> <file name> <feature mask>", "version", "close", "destroy", "unload". Valid
// until the next call into the bench.
TORVEX_BENCH_API const char* TorvexBench_SdkTrace(void);

#ifdef __cplusplus
}
#endif
