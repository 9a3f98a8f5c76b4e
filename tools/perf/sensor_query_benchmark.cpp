// What the sensor catalogue costs per sensor, as a windowed host runs the module: standard output
// is closed, so every diagnostic line is formatted and goes nowhere. For 200, 2,000 and 20,000
// sensors on the bench's SDK it measures the catalogue build (the start export) and one real-time
// query; at 2,000 it also runs a bare loop that makes the same SDK calls, frees the same strings,
// formats the same diagnostic lines and copies the same records, without any catalogue.
//
//   build/win32/wine-run build/win32/bin/sensor_query_benchmark.exe [rounds]
//
// Results go to standard error. The SDK stand-in is taken from build/win32/bench-bin, which the
// program makes its current folder.
#include <windows.h>

#include <io.h>
#include <oleauto.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "TorvexBench.h"
#include "base/diag.h"
#include "module_exports.h"
#include "perf_clock.h"
#include "syssensors/sensor_reading.h"
#include "vendor/cpuidsdk_abi.h"
#include "vendor/vendor_names.h"

namespace {

// Devices of 200 sensors each, in ten classes whose diagnostic lines all differ in form.
std::string Machine(int sensors) {
    const char* classes[] = {"voltage", "temperature", "fan",         "current",    "power",
                             "fan-pwm", "utilization", "clock",       "throughput", "limiter"};
    std::string devices;
    for (int d = 0; d < sensors / 200; ++d) {
        std::string list;
        for (const char* sensorClass : classes)
            list += std::string(list.empty() ? "" : ",") + R"({"class": ")" + sensorClass +
                    R"(", "name": "Sensor #{i}", "count": 20, "value": [41.5, 43.25, 42.0]})";
        devices += std::string(devices.empty() ? "" : ",") + R"({"class": "processor", "name": "Device", "sensors": [)" +
                   list + "]}";
    }
    return R"({"name": "benchmark", "cpuidsdk": {"devices": [)" + devices + "]}}";
}

// The SDK as a caller without a catalogue uses it.
struct BareSdk {
    cpuidsdk::Instance instance = 0;
    cpuidsdk::SdkDeviceCountFn deviceCount = nullptr;
    cpuidsdk::SdkSensorCountFn sensorCount = nullptr;
    cpuidsdk::SdkSensorInfoFn sensorInfo = nullptr;
    cpuidsdk::SdkRefreshFn refresh = nullptr;

    bool Start(HMODULE library) {
        using namespace cpuidsdk;
        const auto query =
            reinterpret_cast<QueryInterfaceFn>(reinterpret_cast<void*>(GetProcAddress(library, "QueryInterface")));
        if (!query) return false;
        const auto create = reinterpret_cast<SdkCreateFn>(query(kBindingIds[kSlotCreate]));
        const auto init = reinterpret_cast<SdkInitFn>(query(kBindingIds[kSlotInit]));
        deviceCount = reinterpret_cast<SdkDeviceCountFn>(query(kBindingIds[kSlotDeviceCount]));
        sensorCount = reinterpret_cast<SdkSensorCountFn>(query(kBindingIds[kSlotSensorCount]));
        sensorInfo = reinterpret_cast<SdkSensorInfoFn>(query(kBindingIds[kSlotSensorInfo]));
        refresh = reinterpret_cast<SdkRefreshFn>(query(kBindingIds[kSlotRefresh]));
        if (!create || !init || !deviceCount || !sensorCount || !sensorInfo || !refresh) return false;
        instance = create();
        int32_t error = 0;
        int32_t extendedError = 0;
        return init(instance, ".", vendor::kLibraryNames.cpuidSdk.narrow, kAllFeatures, &error, &extendedError) != 0;
    }

    // One query's worth of work: each reading lands in its record, and the records are copied out.
    void Query(std::vector<SensorRecord>& records, std::vector<SensorRecord>& output) {
        size_t next = 0;
        const int32_t devices = deviceCount(instance);
        for (int32_t d = 0; d < devices; ++d) {
            for (const SensorClass& sensorClass : g_SensorClasses) {
                const int32_t count = sensorCount(instance, d, sensorClass.nCode);
                for (int32_t i = 0; i < count && next < records.size(); ++i) {
                    SensorReading reading;
                    cpuidsdk::SdkString name = nullptr;
                    if (!sensorInfo(instance, d, i, sensorClass.nCode, &reading.nId, &name, &reading.nRawValue,
                                    &reading.fValue, &reading.fMin, &reading.fMax))
                        continue;
                    CopyBoundedText(reinterpret_cast<const char*>(name), SysStringByteLen(name), reading.szName,
                                    sizeof(reading.szName));
                    SysFreeString(name);
                    ReadingLine line;
                    if (NormaliseSensorReading(d, sensorClass.nCode, reading, line)) StdoutPrint("%s", line.szText);
                    SensorRecord& record = records[next++];
                    record.nRawValue = reading.nRawValue;
                    record.fValue = reading.fValue;
                    record.fMin = reading.fMin;
                    record.fMax = reading.fMax;
                }
            }
        }
        refresh(instance);
        std::memcpy(output.data(), records.data(), records.size() * sizeof(SensorRecord));
    }
};

struct Costs {
    double buildNs = 1e30;  // per sensor
    double queryNs = 1e30;
    double bareNs = 1e30;
};

int Fail(const std::string& message) {
    std::fprintf(stderr, "sensor_query_benchmark: %s\n", message.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    SetCurrentDirectoryW(BesideRunningProgram(L"..\\bench-bin").c_str());
    // A windowed host has no standard output: the module's lines are formatted and then dropped.
    std::fflush(stdout);
    _close(1);
    TorvexBench_LoadDefaultScenario();
    TorvexBench_SetLogEnabled(0);

    const int sizes[] = {200, 2000, 20000};
    Costs costs[3];
    for (int s = 0; s < 3; ++s) {
        const int sensors = sizes[s];
        if (TorvexBench_LoadScenarioText(Machine(sensors).c_str()) != 0) return Fail(TorvexBench_LastError());
        // Held by the benchmark, so that every start finds the library loaded, as a host's later starts would.
        const HMODULE sdk = LoadLibraryW((std::wstring(L".\\") + vendor::kLibraryNames.cpuidSdk.wide).c_str());
        if (!sdk) {
            return Fail(std::string("cannot load the bench's ") + vendor::kLibraryNames.cpuidSdk.narrow + " from bench-bin");
        }
        BareSdk bare;
        if (!bare.Start(sdk)) return Fail("the bench's SDK does not start");
        std::vector<SensorRecord> array(static_cast<size_t>(sensors));
        std::vector<SensorRecord> bareRecords(static_cast<size_t>(sensors));
        std::vector<SensorRecord> bareOutput(static_cast<size_t>(sensors));
        const int queries = std::max(3, 20000 / sensors);
        // Rounds alternate between the measurements and each keeps its best round, so a busy moment
        // on the machine cannot favour one side of a ratio.
        for (int round = 0; round < rounds; ++round) {
            ModuleLoadError error;
            std::optional<LoadedExports> module = LoadedExports::Load(DefaultModulePath(), error);
            if (!module) return Fail(error.Describe());
            const ModuleExports& api = module->api();
            double start = Now();
            if (api.GetSystermSensorInfo(0) != 0 || api.Get_Systerm_Sensor_Count() != sensors)
                return Fail("the catalogue was not built");
            costs[s].buildNs = std::min(costs[s].buildNs, (Now() - start) * 1e9 / sensors);

            int32_t count = 0;
            SensorRecord* records = array.data();
            start = Now();
            for (int q = 0; q < queries; ++q) api.Get_Sensor_RealTime_Data(&count, &records);
            costs[s].queryNs = std::min(costs[s].queryNs, (Now() - start) * 1e9 / queries / sensors);

            start = Now();
            for (int q = 0; q < queries; ++q) bare.Query(bareRecords, bareOutput);
            costs[s].bareNs = std::min(costs[s].bareNs, (Now() - start) * 1e9 / queries / sensors);
            module->Unload();
        }
        FreeLibrary(sdk);
    }

    std::fprintf(stderr, "%-9s %16s %16s %16s %12s\n", "sensors", "build ns/sensor", "query ns/sensor",
                 "bare ns/sensor", "query/bare");
    for (int s = 0; s < 3; ++s)
        std::fprintf(stderr, "%-9d %16.0f %16.0f %16.0f %12.3f\n", sizes[s], costs[s].buildNs, costs[s].queryNs,
                     costs[s].bareNs, costs[s].queryNs / costs[s].bareNs);
    std::fprintf(stderr, "per-sensor cost at 20000 / at 200: build %.3f, query %.3f\n",
                 costs[2].buildNs / costs[0].buildNs, costs[2].queryNs / costs[0].queryNs);
    return 0;
}
