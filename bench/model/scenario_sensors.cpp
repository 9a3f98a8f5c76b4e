#include "scenario_sensors.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "vendor/cpuidsdk_abi.h"

namespace bench {
namespace {

using namespace cpuidsdk;

// Enough for every machine worth simulating; a hostile device count is given with "deviceCount".
constexpr int64_t kMaxDevices = 4096;
constexpr int64_t kMaxSensors = 200000;

struct Named {
    const char* name;
    int32_t code;
};

constexpr Named kDeviceClasses[] = {
    {"processor", kDeviceProcessor}, {"storage", kDeviceStorage},    {"display", kDeviceDisplayAdapter},
    {"battery", kDeviceBattery},     {"mainboard", kDeviceMainboard}, {"memory", kDeviceMemory},
    {"psu", kDevicePowerSupply},     {"watercooler", kDeviceWaterCooler},
};

constexpr Named kSensorClasses[] = {
    {"voltage", kSensorVoltage},   {"temperature", kSensorTemperature}, {"fan", kSensorFan},
    {"current", kSensorCurrent},   {"power", kSensorPower},             {"fan-pwm", kSensorFanPwm},
    {"pump-pwm", kSensorPumpPwm},  {"water-level", kSensorWaterLevel},  {"position", kSensorPosition},
    {"capacity", kSensorCapacity}, {"case-open", kSensorCaseOpen},      {"level", kSensorLevel},
    {"counter", kSensorCounter},   {"utilization", kSensorUtilization}, {"clock", kSensorClock},
    {"throughput", kSensorThroughput}, {"limiter", kSensorLimiter},
};

constexpr Named kFunctions[] = {
    {"SdkCreate", kSlotCreate},           {"SdkDestroy", kSlotDestroy},         {"SdkInit", kSlotInit},
    {"SdkClose", kSlotClose},             {"SdkRefresh", kSlotRefresh},         {"SdkGetVersion", kSlotGetVersion},
    {"SdkDeviceCount", kSlotDeviceCount}, {"SdkDeviceClass", kSlotDeviceClass}, {"SdkDeviceName", kSlotDeviceName},
    {"SdkSensorCount", kSlotSensorCount}, {"SdkSensorInfo", kSlotSensorInfo},
};

template <size_t N>
std::string NameList(const Named (&table)[N]) {
    std::string list;
    for (const Named& entry : table) list += std::string(list.empty() ? "\"" : ", \"") + entry.name + "\"";
    return list;
}

// A name from the table, or a number.
template <size_t N>
int32_t ReadCode(const Json& value, const std::string& path, const Named (&table)[N]) {
    if (value.is_string()) {
        for (const Named& entry : table)
            if (value.get<std::string>() == entry.name) return entry.code;
        if (value.get<std::string>().rfind("0x", 0) != 0)
            Fail(path, "expected one of " + NameList(table) + " or a number, got " + value.dump());
    }
    return ReadInt32(value, path);
}

float ReadFloat(const Json& value, const std::string& path) {
    if (!value.is_number()) Fail(path, "expected a number, got " + value.dump());
    const double number = value.get<double>();
    if (!(std::fabs(number) <= std::numeric_limits<float>::max()))
        Fail(path, "value " + value.dump() + " is outside the range of a 32-bit float");
    return static_cast<float>(number);
}

// A number or a non-empty list of them.
template <typename T, typename ReadOne>
std::vector<T> ReadOneOrList(const Json& value, const std::string& path, ReadOne readOne) {
    if (!value.is_array()) return {readOne(value, path)};
    if (value.empty()) Fail(path, "an empty list");
    std::vector<T> list;
    for (size_t i = 0; i < value.size(); ++i) list.push_back(readOne(value[i], Index(path, i)));
    return list;
}

// The SDK's texts are 8-bit: every character of the JSON text must be U+0000 .. U+00FF, and each
// becomes the byte of that value.
std::string ReadBytes(const Json& value, const std::string& path) {
    const std::string utf8 = ReadText(value, path);
    std::string bytes;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            bytes += static_cast<char>(lead);
        } else if ((lead == 0xC2 || lead == 0xC3) && i + 1 < utf8.size()) {
            bytes += static_cast<char>(((lead & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
        } else {
            Fail(path, "only characters U+0000 .. U+00FF have an 8-bit form");
        }
    }
    return bytes;
}

std::optional<std::string> ReadName(const Json& value, const std::string& path) {
    if (value.is_null()) return std::nullopt;
    return ReadBytes(value, path);
}

// Copies of an entry tell themselves apart by "{i}" in their names, which becomes the copy's index.
std::optional<std::string> Numbered(const std::optional<std::string>& name, size_t copy) {
    if (!name) return name;
    std::string text = *name;
    for (size_t at = text.find("{i}"); at != std::string::npos; at = text.find("{i}", at))
        text.replace(at, 3, std::to_string(copy));
    return text;
}

size_t ReadCopies(const Json& entry, const std::string& path, int64_t limit) {
    const Json* count = Find(entry, "count");
    return count ? static_cast<size_t>(ReadInteger(*count, Join(path, "count"), 1, limit)) : 1;
}

struct SensorEntry {
    SdkSensor sensor;
    bool idGiven = false;
};

void ReadSensors(const Json& list, const std::string& path, std::vector<SensorEntry>& out, int64_t& budget) {
    if (!list.is_array()) Fail(path, "expected a list of sensors");
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string where = Index(path, i);
        const Json& entry = list[i];
        ExpectObject(entry, where, {"description", "class", "name", "count", "id", "raw", "value", "min", "max",
                                    "answers"});
        const Json* sensorClass = Find(entry, "class");
        if (!sensorClass) Fail(where, "a sensor needs \"class\"");
        SensorEntry proto;
        proto.sensor.classCode = ReadCode(*sensorClass, Join(where, "class"), kSensorClasses);
        proto.sensor.name = std::string();
        if (const Json* v = Find(entry, "name")) proto.sensor.name = ReadName(*v, Join(where, "name"));
        if (const Json* v = Find(entry, "id")) {
            proto.sensor.id = static_cast<int32_t>(static_cast<uint32_t>(ReadInteger(
                *v, Join(where, "id"), std::numeric_limits<int32_t>::min(), std::numeric_limits<uint32_t>::max())));
            proto.idGiven = true;
        }
        if (const Json* v = Find(entry, "raw")) proto.sensor.raw = ReadInt32(*v, Join(where, "raw"));
        if (const Json* v = Find(entry, "value")) proto.sensor.values = ReadOneOrList<float>(*v, Join(where, "value"), ReadFloat);
        if (const Json* v = Find(entry, "answers"))
            proto.sensor.answers = ReadOneOrList<bool>(*v, Join(where, "answers"), ReadBool);
        // Unless given, the range is what the readings span.
        const auto [lowest, highest] = std::minmax_element(proto.sensor.values.begin(), proto.sensor.values.end());
        proto.sensor.minimum = *lowest;
        proto.sensor.maximum = *highest;
        if (const Json* v = Find(entry, "min")) proto.sensor.minimum = ReadFloat(*v, Join(where, "min"));
        if (const Json* v = Find(entry, "max")) proto.sensor.maximum = ReadFloat(*v, Join(where, "max"));
        if (const Json* v = Find(entry, "description")) ReadText(*v, Join(where, "description"));
        const size_t copies = ReadCopies(entry, where, kMaxSensors);
        if (static_cast<int64_t>(copies) > budget) Fail(where, "more than " + std::to_string(kMaxSensors) + " sensors in all");
        budget -= static_cast<int64_t>(copies);
        for (size_t c = 0; c < copies; ++c) {
            SensorEntry copy = proto;
            copy.sensor.name = Numbered(proto.sensor.name, c);
            copy.sensor.id = static_cast<int32_t>(static_cast<uint32_t>(proto.sensor.id) + c);
            out.push_back(std::move(copy));
        }
    }
}

void ReadDevices(const Json& list, const std::string& path, SensorSdkConfig& sdk) {
    if (!list.is_array()) Fail(path, "expected a list of devices");
    int64_t sensorBudget = kMaxSensors;
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string where = Index(path, i);
        const Json& entry = list[i];
        ExpectObject(entry, where, {"description", "class", "name", "count", "sensorCount", "classCounts", "sensors"});
        const Json* deviceClass = Find(entry, "class");
        if (!deviceClass) Fail(where, "a device needs \"class\"");
        SdkDevice proto;
        proto.classCode = ReadCode(*deviceClass, Join(where, "class"), kDeviceClasses);
        if (const Json* v = Find(entry, "name")) proto.name = ReadName(*v, Join(where, "name"));
        if (const Json* v = Find(entry, "sensorCount")) proto.allSensorsCount = ReadInt32(*v, Join(where, "sensorCount"));
        if (const Json* counts = Find(entry, "classCounts")) {
            const std::string countsPath = Join(where, "classCounts");
            if (!counts->is_object()) Fail(countsPath, "expected an object of sensor class: count");
            for (const auto& item : counts->items()) {
                const std::string at = Join(countsPath, item.key());
                proto.classCounts[ReadCode(Json(item.key()), at, kSensorClasses)] = ReadInt32(item.value(), at);
            }
        }
        std::vector<SensorEntry> sensors;
        if (const Json* v = Find(entry, "sensors")) ReadSensors(*v, Join(where, "sensors"), sensors, sensorBudget);
        if (const Json* v = Find(entry, "description")) ReadText(*v, Join(where, "description"));
        const size_t copies = ReadCopies(entry, where, kMaxDevices);
        if (sdk.devices.size() + copies > kMaxDevices) Fail(where, "more than " + std::to_string(kMaxDevices) + " devices");
        if (static_cast<int64_t>(sensors.size() * (copies - 1)) > sensorBudget)
            Fail(where, "more than " + std::to_string(kMaxSensors) + " sensors in all");
        sensorBudget -= static_cast<int64_t>(sensors.size() * (copies - 1));
        for (size_t c = 0; c < copies; ++c) {
            SdkDevice device = proto;
            device.name = Numbered(proto.name, c);
            const size_t index = sdk.devices.size();
            std::map<int32_t, size_t> indexInClass;
            for (const SensorEntry& s : sensors) {
                device.sensors.push_back(s.sensor);
                const size_t n = indexInClass[s.sensor.classCode]++;
                if (!s.idGiven) device.sensors.back().id = DefaultSensorId(index, s.sensor.classCode, n);
            }
            sdk.devices.push_back(std::move(device));
        }
    }
}

void ReadUnbound(const Json& value, const std::string& path, SensorSdkConfig& sdk) {
    if (value.is_string() && value.get<std::string>() == "all") {
        sdk.unbound.insert(std::begin(kBindingIds), std::end(kBindingIds));
        return;
    }
    if (!value.is_array()) Fail(path, "expected \"all\" or a list of function names");
    for (size_t i = 0; i < value.size(); ++i) {
        const Json& name = value[i];
        bool known = false;
        for (const Named& function : kFunctions) {
            if (!(name.is_string() && name.get<std::string>() == function.name)) continue;
            sdk.unbound.insert(kBindingIds[function.code]);
            known = true;
        }
        if (!known) Fail(Index(path, i), "expected one of " + NameList(kFunctions) + ", got " + name.dump());
    }
}

}  // namespace

SensorSdkConfig ReadSensorSdk(const Json& value, const std::string& path) {
    ExpectObject(value, path, {"description", "present", "unbound", "init", "initError", "initExtendedError", "version",
                               "deviceCount", "devices"});
    SensorSdkConfig sdk;
    sdk.present = true;
    if (const Json* v = Find(value, "present")) sdk.present = ReadBool(*v, Join(path, "present"));
    if (const Json* v = Find(value, "unbound")) ReadUnbound(*v, Join(path, "unbound"), sdk);
    if (const Json* v = Find(value, "init")) sdk.initResult = ReadInt32(*v, Join(path, "init"));
    if (const Json* v = Find(value, "initError")) sdk.initError = ReadInt32(*v, Join(path, "initError"));
    if (const Json* v = Find(value, "initExtendedError"))
        sdk.initExtendedError = ReadInt32(*v, Join(path, "initExtendedError"));
    if (const Json* v = Find(value, "version"))
        sdk.version = static_cast<uint32_t>(ReadInteger(*v, Join(path, "version"), 0, 0xFFFFFFFF));
    if (const Json* v = Find(value, "deviceCount")) sdk.deviceCount = ReadInt32(*v, Join(path, "deviceCount"));
    if (const Json* v = Find(value, "devices")) ReadDevices(*v, Join(path, "devices"), sdk);
    if (const Json* v = Find(value, "description")) ReadText(*v, Join(path, "description"));
    return sdk;
}

}  // namespace bench
