#include "scenario.h"

#include <bitset>
#include <cctype>
#include <cstdint>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>

#include "presets.h"
#include "scenario_helper.h"
#include "scenario_reading.h"
#include "scenario_sensors.h"
#include "unique_keys.h"
#include "vendor/vendor_abi.h"

namespace bench {

[[noreturn]] void Fail(const std::string& path, const std::string& message) {
    throw ScenarioError(path.empty() ? message : path + ": " + message);
}

std::string Join(const std::string& path, const std::string& key) { return path.empty() ? key : path + "." + key; }

std::string Index(const std::string& path, size_t i) { return path + "[" + std::to_string(i) + "]"; }

void ExpectObject(const Json& value, const std::string& path, std::initializer_list<const char*> keys) {
    if (!value.is_object()) Fail(path, "expected an object");
    for (const auto& item : value.items()) {
        bool known = false;
        for (const char* key : keys) known = known || item.key() == key;
        if (known) continue;
        std::string list;
        for (const char* key : keys) list += std::string(list.empty() ? "" : ", ") + key;
        Fail(Join(path, item.key()), "unknown key (known here: " + list + ")");
    }
}

// "0x1F" (hex) or "31" (decimal): the forms a number may take in a text.
bool ParseNumberText(const std::string& text, int64_t& out) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty() || digits.size() > 9) return false;
    for (char c : digits)
        if (!(hex ? std::isxdigit(static_cast<unsigned char>(c)) : std::isdigit(static_cast<unsigned char>(c))))
            return false;
    out = std::stoll(digits, nullptr, hex ? 16 : 10);
    return true;
}

std::string RangeText(int64_t min, int64_t max) { return std::to_string(min) + ".." + std::to_string(max); }

// A JSON integer, or a "0x.." text.
int64_t ReadInteger(const Json& value, const std::string& path, int64_t min, int64_t max) {
    int64_t number = 0;
    if (value.is_number_integer()) {
        number = value.get<int64_t>();
    } else if (!(value.is_string() && value.get<std::string>().rfind("0x", 0) == 0 &&
                 ParseNumberText(value.get<std::string>(), number))) {
        Fail(path, "expected a number " + RangeText(min, max) + " (a JSON integer or a \"0x..\" text), got " +
                       value.dump());
    }
    if (number < min || number > max) Fail(path, "value " + std::to_string(number) + " is outside " + RangeText(min, max));
    return number;
}

int32_t ReadInt32(const Json& value, const std::string& path) {
    return static_cast<int32_t>(
        ReadInteger(value, path, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

uint8_t ReadByte(const Json& value, const std::string& path) {
    return static_cast<uint8_t>(ReadInteger(value, path, 0, 0xFF));
}

// An object key that names a register or a device address: "0x56" or "86".
uint8_t ReadByteKey(const std::string& key, const std::string& path) {
    int64_t number = 0;
    if (!ParseNumberText(key, number) || number > 0xFF) Fail(path, "expected a byte number 0..255 as key (\"0x..\" or decimal)");
    return static_cast<uint8_t>(number);
}

bool ReadBool(const Json& value, const std::string& path) {
    if (!value.is_boolean()) Fail(path, "expected true or false, got " + value.dump());
    return value.get<bool>();
}

std::string ReadText(const Json& value, const std::string& path) {
    if (!value.is_string()) Fail(path, "expected a text, got " + value.dump());
    return value.get<std::string>();
}

const Json* Find(const Json& object, const char* key) {
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

namespace {

std::string Hex(int value) {
    std::ostringstream text;
    text << "0x" << std::uppercase << std::hex << (value < 0x10 ? "0" : "") << value;
    return text.str();
}

// ---- Devices ------------------------------------------------------------------------------------

void ReadRegisters(const Json& registers, const std::string& path, I2cDevice& device) {
    if (!registers.is_object()) Fail(path, "expected an object of register: value");
    std::bitset<kRegisterCount> given;
    for (const auto& item : registers.items()) {
        const std::string where = Join(path, item.key());
        const uint8_t first = ReadByteKey(item.key(), where);
        const bool run = item.value().is_array();
        const size_t count = run ? item.value().size() : 1;
        if (count == 0) Fail(where, "an empty list of bytes");
        if (first + count > kRegisterCount) Fail(where, "the bytes run past register 0xFF");
        for (size_t i = 0; i < count; ++i) {
            const int reg = first + static_cast<int>(i);
            if (given.test(reg)) Fail(where, "register " + Hex(reg) + " is given twice");
            given.set(reg);
            const Json& byte = run ? item.value()[i] : item.value();
            device.Set(static_cast<uint8_t>(reg), ReadByte(byte, run ? Index(where, i) : where));
        }
    }
}

// 0x4C, "0x4C" or "0x4C-0x4F".
void ReadUnreadable(const Json& list, const std::string& path, I2cDevice& device) {
    if (!list.is_array()) Fail(path, "expected a list of registers or ranges such as \"0x4C-0x4F\"");
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string where = Index(path, i);
        const Json& entry = list[i];
        int64_t low = 0;
        int64_t high = 0;
        const std::string text = entry.is_string() ? entry.get<std::string>() : std::string();
        const size_t dash = text.find('-');
        if (dash != std::string::npos) {
            if (!ParseNumberText(text.substr(0, dash), low) || !ParseNumberText(text.substr(dash + 1), high) ||
                low > high || high > 0xFF)
                Fail(where, "expected a range \"first-last\" of registers 0..255, got " + entry.dump());
        } else {
            low = high = ReadByte(entry, where);
        }
        for (int64_t reg = low; reg <= high; ++reg) device.SetUnreadable(static_cast<uint8_t>(reg), true);
    }
}

void ReadFaults(const Json& list, const std::string& path, I2cDevice& device) {
    if (!list.is_array()) Fail(path, "expected a list of faults");
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string where = Index(path, i);
        const Json& entry = list[i];
        ExpectObject(entry, where, {"register", "after", "reads", "status", "description"});
        const Json* reg = Find(entry, "register");
        if (!reg) Fail(where, "a fault needs \"register\"");
        RegisterFault fault;
        fault.failReads = RegisterFault::kFailAlways;
        if (const Json* after = Find(entry, "after"))
            fault.passReads = static_cast<uint32_t>(ReadInteger(*after, Join(where, "after"), 0, 1'000'000'000));
        if (const Json* reads = Find(entry, "reads")) {
            if (!(reads->is_string() && reads->get<std::string>() == "always"))
                fault.failReads = static_cast<int32_t>(ReadInteger(*reads, Join(where, "reads"), 1, 1'000'000'000));
        }
        if (const Json* status = Find(entry, "status")) fault.status = ReadInt32(*status, Join(where, "status"));
        device.SetFault(ReadByte(*reg, Join(where, "register")), fault);
    }
}

I2cDevice ReadDevice(const Json& value, const std::string& path) {
    ExpectObject(value, path, {"description", "preset", "registers", "unreadable", "faults"});
    I2cDevice device;
    if (const Json* preset = Find(value, "preset")) {
        const std::string name = ReadText(*preset, Join(path, "preset"));
        if (!ApplyPreset(name, device)) Fail(Join(path, "preset"), "unknown preset \"" + name + "\" (known: " + PresetNames() + ")");
    }
    if (const Json* registers = Find(value, "registers")) ReadRegisters(*registers, Join(path, "registers"), device);
    if (const Json* unreadable = Find(value, "unreadable")) ReadUnreadable(*unreadable, Join(path, "unreadable"), device);
    if (const Json* faults = Find(value, "faults")) ReadFaults(*faults, Join(path, "faults"), device);
    if (const Json* text = Find(value, "description")) ReadText(*text, Join(path, "description"));
    return device;
}

// ---- GPUs ---------------------------------------------------------------------------------------

void ReadDevices(const Json& value, const std::string& path, Gpu& gpu) {
    if (!value.is_object()) Fail(path, "expected an object of device address: device");
    for (const auto& item : value.items()) {
        const std::string where = Join(path, item.key());
        const uint8_t address = ReadByteKey(item.key(), where);
        if (!gpu.devices.emplace(address, ReadDevice(item.value(), where)).second)
            Fail(where, "device " + Hex(address) + " is given twice");
    }
}

Gpu ReadGpu(const Json& value, const std::string& path, size_t gpuIndex, int32_t amdOrdinal) {
    ExpectObject(value, path, {"description", "vendor", "bus", "busQuery", "adapterIndex", "device", "function",
                               "lively", "devices"});
    const Json* vendor = Find(value, "vendor");
    if (!vendor) Fail(path, "a GPU needs \"vendor\": \"nvidia\" or \"amd\"");
    Gpu gpu;
    gpu.vendor = ReadChoice<Vendor>(*vendor, Join(path, "vendor"), {{"nvidia", Vendor::Nvidia}, {"amd", Vendor::Amd}});
    const Json* bus = Find(value, "bus");
    if (gpu.vendor == Vendor::Nvidia) {
        for (const char* amdOnly : {"adapterIndex", "device", "function"})
            if (Find(value, amdOnly)) Fail(Join(path, amdOnly), "only AMD GPUs have this");
        const Json* busQuery = Find(value, "busQuery");
        if (busQuery) {
            ReadChoice<bool>(*busQuery, Join(path, "busQuery"), {{"fail", true}});
            gpu.busQueryFails = true;
        }
        if ((bus != nullptr) == (busQuery != nullptr)) Fail(path, "an NVIDIA GPU needs either \"bus\" or \"busQuery\": \"fail\"");
    } else {
        if (Find(value, "busQuery")) Fail(Join(path, "busQuery"), "only NVIDIA GPUs have this");
        if (!bus) Fail(path, "an AMD GPU needs \"bus\"");
        gpu.adapterIndex = amdOrdinal;
        if (const Json* index = Find(value, "adapterIndex"))
            gpu.adapterIndex = static_cast<int32_t>(ReadInteger(*index, Join(path, "adapterIndex"), 0, 1023));
        if (const Json* device = Find(value, "device"))
            gpu.device = static_cast<int32_t>(ReadInteger(*device, Join(path, "device"), 0, 31));
        if (const Json* function = Find(value, "function"))
            gpu.function = static_cast<int32_t>(ReadInteger(*function, Join(path, "function"), 0, 7));
    }
    if (bus) gpu.bus = ReadByte(*bus, Join(path, "bus"));
    if (const Json* devices = Find(value, "devices")) ReadDevices(*devices, Join(path, "devices"), gpu);
    if (const Json* lively = Find(value, "lively"); lively && ReadBool(*lively, Join(path, "lively"))) {
        I2cDevice* controller = gpu.FindDevice(kControllerAddress);
        if (!controller) Fail(Join(path, "lively"), "needs the board controller, device 0x56");
        gpu.lively.emplace(*controller, static_cast<uint32_t>(gpuIndex + 1));
    }
    if (const Json* text = Find(value, "description")) ReadText(*text, Join(path, "description"));
    return gpu;
}

void ReadGpus(const Json& value, const std::string& path, Machine& machine) {
    if (!value.is_array()) Fail(path, "expected a list of GPUs");
    if (value.size() > kMaxGpus) Fail(path, "at most " + std::to_string(kMaxGpus) + " GPUs");
    int32_t amdOrdinal = 0;
    for (size_t i = 0; i < value.size(); ++i) {
        machine.gpus.push_back(ReadGpu(value[i], Index(path, i), i, amdOrdinal));
        const Gpu& gpu = machine.gpus.back();
        if (gpu.vendor != Vendor::Amd) continue;
        ++amdOrdinal;
        for (size_t j = 0; j + 1 < machine.gpus.size(); ++j)
            if (machine.gpus[j].vendor == Vendor::Amd && machine.gpus[j].adapterIndex == gpu.adapterIndex)
                Fail(Join(Index(path, i), "adapterIndex"), "adapter index " + std::to_string(gpu.adapterIndex) +
                                                               " is already used by gpus[" + std::to_string(j) + "]");
    }
}

// ---- Libraries ----------------------------------------------------------------------------------

void ReadNvapi(const Json& value, const std::string& path, NvapiConfig& nvapi) {
    ExpectObject(value, path, {"present", "initialize", "enumerate", "hooks", "withhold"});
    if (const Json* v = Find(value, "present")) nvapi.present = ReadBool(*v, Join(path, "present"));
    if (const Json* v = Find(value, "initialize")) nvapi.initialize = ReadInt32(*v, Join(path, "initialize"));
    if (const Json* v = Find(value, "enumerate")) nvapi.enumerate = ReadInt32(*v, Join(path, "enumerate"));
    if (const Json* v = Find(value, "hooks"))
        nvapi.hooks = ReadChoice<NvHooks>(*v, Join(path, "hooks"), {{"none", NvHooks::None},
                                                                     {"before", NvHooks::Before},
                                                                     {"before-and-after", NvHooks::BeforeAndAfter}});
    if (const Json* v = Find(value, "withhold")) {
        const std::string where = Join(path, "withhold");
        if (!v->is_array()) Fail(where, "expected a list of function names");
        for (size_t i = 0; i < v->size(); ++i)
            nvapi.withheld.push_back(ReadChoice<uint32_t>((*v)[i], Index(where, i),
                                                          {{"NvAPI_EnumPhysicalGPUs", nvapi::kIdEnumPhysicalGPUs},
                                                           {"NvAPI_GPU_GetBusId", nvapi::kIdGpuGetBusId},
                                                           {"NvAPI_I2CReadEx", nvapi::kIdI2CReadEx}}));
    }
}

void ReadAdl(const Json& value, const std::string& path, AdlConfig& adl) {
    ExpectObject(value, path, {"present", "context"});
    if (const Json* v = Find(value, "present")) adl.present = ReadBool(*v, Join(path, "present"));
    if (const Json* v = Find(value, "context")) adl.context = ReadBool(*v, Join(path, "context"));
}

void ReadAdlx(const Json& value, const std::string& path, AdlxConfig& adlx) {
    ExpectObject(value, path, {"present", "initialize", "initializeWithAdl", "gpuList", "mapping"});
    if (const Json* v = Find(value, "present")) adlx.present = ReadBool(*v, Join(path, "present"));
    if (const Json* v = Find(value, "initialize")) adlx.initialize = ReadInt32(*v, Join(path, "initialize"));
    if (const Json* v = Find(value, "initializeWithAdl"))
        adlx.initializeWithAdl = ReadInt32(*v, Join(path, "initializeWithAdl"));
    if (const Json* v = Find(value, "gpuList"))
        adlx.gpuList = ReadChoice<GpuListMode>(
            *v, Join(path, "gpuList"), {{"ok", GpuListMode::Ok}, {"fail", GpuListMode::Fail}, {"empty", GpuListMode::Empty}});
    if (const Json* v = Find(value, "mapping")) adlx.mapping = ReadBool(*v, Join(path, "mapping"));
}

Machine ReadMachine(const Json& root) {
    ExpectObject(root, "", {"name", "description", "nvapi", "adl", "adlx", "gpus", "helper", "cpuidsdk"});
    Machine machine;
    if (const Json* name = Find(root, "name")) machine.name = ReadText(*name, "name");
    if (const Json* text = Find(root, "description")) ReadText(*text, "description");
    if (const Json* gpus = Find(root, "gpus")) ReadGpus(*gpus, "gpus", machine);
    // Unless told otherwise, the libraries are there exactly when their vendor's GPUs are, and
    // NVAPI's listing fails as the driver's does on a machine without an NVIDIA GPU.
    bool anyNvidia = false;
    bool anyAmd = false;
    for (const Gpu& gpu : machine.gpus) (gpu.vendor == Vendor::Nvidia ? anyNvidia : anyAmd) = true;
    machine.nvapi.present = anyNvidia;
    machine.nvapi.enumerate = anyNvidia ? nvapi::NVAPI_OK : nvapi::NVAPI_NVIDIA_DEVICE_NOT_FOUND;
    machine.adl.present = anyAmd;
    machine.adlx.present = anyAmd;
    if (const Json* v = Find(root, "nvapi")) ReadNvapi(*v, "nvapi", machine.nvapi);
    if (const Json* v = Find(root, "adl")) ReadAdl(*v, "adl", machine.adl);
    if (const Json* v = Find(root, "adlx")) ReadAdlx(*v, "adlx", machine.adlx);
    if (const Json* v = Find(root, "helper")) machine.helper = ReadHelper(*v, "helper");
    if (const Json* v = Find(root, "cpuidsdk")) machine.cpuidsdk = ReadSensorSdk(*v, "cpuidsdk");
    return machine;
}

}  // namespace

ScenarioResult ParseScenario(std::string_view jsonText) {
    ScenarioResult result;
    try {
        result.machine = ReadMachine(ParseWithUniqueKeys(jsonText));
        result.ok = true;
    } catch (const ScenarioError& e) {
        result.error = e.what();
    } catch (const nlohmann::json::exception& e) {
        result.error = std::string("not valid JSON: ") + e.what();
    }
    return result;
}

ScenarioResult ReadScenarioFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        ScenarioResult result;
        result.error = "cannot read the scenario file \"" + path + "\"";
        return result;
    }
    std::ostringstream text;
    text << file.rdbuf();
    ScenarioResult result = ParseScenario(text.str());
    if (!result.ok) result.error = "scenario file \"" + path + "\": " + result.error;
    return result;
}

}  // namespace bench
