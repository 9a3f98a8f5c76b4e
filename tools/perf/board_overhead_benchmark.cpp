// How much the module adds on top of the bus: the cost of Torvex_Api_GetThermalMap and
// Torvex_Api_GetPowerStatus against one bare NvAPI_I2CReadEx call for the same transaction,
// measured in one run on the bench's default machine with its transaction log off.
//
//   build/win32/wine-run build/win32/bin/board_overhead_benchmark.exe [iterations]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "TorvexBench.h"
#include "module_exports.h"
#include "perf_clock.h"
#include "vendor/vendor_abi.h"
#include "vendor/vendor_names.h"

namespace {

// Nanoseconds per call over one round of calls.
template <typename Call>
double NanosPerCall(int iterations, Call&& call) {
    const double start = Now();
    for (int i = 0; i < iterations; ++i) call();
    return (Now() - start) * 1e9 / iterations;
}

struct BareVendorRead {
    nvapi::I2CReadExFn read = nullptr;
    nvapi::NvPhysicalGpuHandle gpu = nullptr;
    nvapi::NV_I2C_INFO_V3 info{};
    nvapi::NvU32 flags = 1;
    nvapi::NvU8 reg = 0;
    nvapi::NvU8 data[32] = {};

    bool Bind() {
        HMODULE nvapiDll = GetModuleHandleW(vendor::kLibraryNames.nvapi.wide);  // the module has loaded it already
        if (!nvapiDll) return false;
        auto query = reinterpret_cast<nvapi::QueryInterfaceFn>(
            reinterpret_cast<void*>(GetProcAddress(nvapiDll, "nvapi_QueryInterface")));
        if (!query) return false;
        read = reinterpret_cast<nvapi::I2CReadExFn>(query(nvapi::kIdI2CReadEx));
        auto enumerate = reinterpret_cast<nvapi::EnumPhysicalGPUsFn>(query(nvapi::kIdEnumPhysicalGPUs));
        nvapi::NvPhysicalGpuHandle handles[nvapi::kMaxPhysicalGpus] = {};
        nvapi::NvU32 count = 0;
        if (!read || !enumerate || enumerate(handles, &count) != nvapi::NVAPI_OK || count == 0) return false;
        gpu = handles[0];
        info.version = nvapi::NV_I2C_INFO_VER3;
        info.i2cSpeed = nvapi::NVAPI_I2C_SPEED_DEPRECATED;
        info.i2cSpeedKhz = nvapi::NVAPI_I2C_SPEED_100KHZ;
        info.portId = 1;
        info.bIsPortIdSet = 1;
        info.i2cDevAddress = 0x56;
        info.pbI2cRegAddress = &reg;
        info.regAddrSize = 1;
        info.pbData = data;
        return true;
    }

    int Read(nvapi::NvU8 regNumber, nvapi::NvU32 length) {
        reg = regNumber;
        info.cbSize = length;
        return read(gpu, &info, &flags);
    }
};

}  // namespace

int main(int argc, char** argv) {
    int iterations = argc > 1 ? std::atoi(argv[1]) : 50000;
    TorvexBench_LoadDefaultScenario();
    TorvexBench_SetLively(0);
    TorvexBench_SetLogEnabled(0);

    ModuleLoadError error;
    std::optional<LoadedExports> module = LoadedExports::Load(DefaultModulePath(), error);
    if (!module) {
        std::fprintf(stderr, "%s\n", error.Describe().c_str());
        return 2;
    }
    const ModuleExports& api = module->api();
    BareVendorRead bare;
    if (!bare.Bind()) {
        std::fprintf(stderr, "cannot bind the bench's %s\n", vendor::kLibraryNames.nvapi.narrow);
        return 2;
    }
    ThermalMap map{};
    QLXSWPowerStatus power{};
    if (api.GetThermalMap(-1, &map) != 0 || api.GetPowerStatus(-1, &power) != 0 || bare.Read(0x60, 16) != 0) {
        std::fprintf(stderr, "the default machine's board does not answer\n");
        return 2;
    }

    // Rounds alternate between the four measurements and each keeps its best round, so a busy
    // moment on the machine cannot favour one side of a ratio.
    double bareThermal = 1e30, exportThermal = 1e30, barePower = 1e30, exportPower = 1e30;
    for (int round = 0; round < 15; ++round) {
        bareThermal = std::min(bareThermal, NanosPerCall(iterations, [&] { bare.Read(0x60, 16); }));
        exportThermal = std::min(exportThermal, NanosPerCall(iterations, [&] { api.GetThermalMap(-1, &map); }));
        barePower = std::min(barePower, NanosPerCall(iterations, [&] { bare.Read(0x80, 24); }));
        exportPower = std::min(exportPower, NanosPerCall(iterations, [&] { api.GetPowerStatus(-1, &power); }));
    }

    std::printf("%-28s %12s %12s %8s\n", "transaction", "bare ns", "export ns", "ratio");
    std::printf("%-28s %12.1f %12.1f %8.3f\n", "GetThermalMap (0x60, 16 B)", bareThermal, exportThermal,
                exportThermal / bareThermal);
    std::printf("%-28s %12.1f %12.1f %8.3f\n", "GetPowerStatus (0x80, 24 B)", barePower, exportPower,
                exportPower / barePower);
    return 0;
}
