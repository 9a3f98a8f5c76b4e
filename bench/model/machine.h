// The simulated machine: which vendor libraries it has and how they behave, and its GPUs with
// the chips on each GPU's I2C bus. A scenario file describes one; the bench runs it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "helper_config.h"
#include "i2c_device.h"
#include "lively_board.h"
#include "sensor_sdk_config.h"

namespace bench {

enum class NvHooks { None, Before, BeforeAndAfter };

struct NvapiConfig {
    bool present = false;
    int32_t initialize = 0;  // status of NvAPI_Initialize
    int32_t enumerate = 0;   // status of NvAPI_EnumPhysicalGPUs
    NvHooks hooks = NvHooks::None;
    std::vector<uint32_t> withheld;  // interface ids nvapi_QueryInterface does not hand out
};

struct AdlConfig {
    bool present = false;
    bool context = true;  // ADL2_Main_ControlX2_Create succeeds
};

enum class GpuListMode { Ok, Fail, Empty };

struct AdlxConfig {
    bool present = false;
    int32_t initialize = 0;         // result of ADLXInitialize (0: OK, then ALREADY_INITIALIZED)
    int32_t initializeWithAdl = 0;  // result of ADLXInitializeWithCallerAdl, likewise
    GpuListMode gpuList = GpuListMode::Ok;
    bool mapping = true;            // the ADL mapping interface is handed out
};

enum class Vendor { Nvidia, Amd };

struct Gpu {
    Vendor vendor = Vendor::Nvidia;
    int32_t bus = 0;
    bool busQueryFails = false;  // NVIDIA: NvAPI_GPU_GetBusId fails and writes nothing
    int32_t adapterIndex = 0;    // AMD: ADL adapter index
    int32_t device = 0;          // AMD: PCI device
    int32_t function = 0;        // AMD: PCI function
    std::map<uint8_t, I2cDevice> devices;  // keyed by device address byte (8-bit form)
    std::optional<LivelyBoard> lively;     // time-driven controller registers

    I2cDevice* FindDevice(uint8_t address) {
        const auto found = devices.find(address);
        return found == devices.end() ? nullptr : &found->second;
    }
};

struct Machine {
    std::string name;
    NvapiConfig nvapi;
    AdlConfig adl;
    AdlxConfig adlx;
    std::vector<Gpu> gpus;
    SensorSdkConfig cpuidsdk;
    HelperConfig helper;
};

constexpr size_t kMaxGpus = 64;

}  // namespace bench
