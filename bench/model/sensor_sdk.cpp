#include "sensor_sdk.h"

#include <cstdio>
#include <iterator>

namespace bench {
namespace {

using cpuidsdk::Instance;

// Handles are made-up numbers; nothing ever follows them. Where handles are 64-bit the high half is
// used too, so a caller that keeps only 32 bits of one is refused; on x86 this is 0x5D000001.
constexpr Instance kFirstInstance = static_cast<Instance>(0x00007F5D5D000001ULL);

constexpr std::string_view kCounterNames[] = {
    "sdk.loads",       "sdk.unloads",      "sdk.query",        "sdk.query_unknown", "sdk.create",
    "sdk.init",        "sdk.init_under_lock", "sdk.version",   "sdk.refresh",       "sdk.device_count",
    "sdk.device_class", "sdk.device_name", "sdk.sensor_count", "sdk.sensor_info",   "sdk.close",
    "sdk.destroy",     "sdk.refused",      "sdk.overlapping",
};

// The identifiers the SDK library answers: the eleven functions a caller of the SDK uses.
constexpr cpuidsdk::Slot kServedSlots[] = {
    cpuidsdk::kSlotCreate,      cpuidsdk::kSlotDestroy,     cpuidsdk::kSlotInit,        cpuidsdk::kSlotClose,
    cpuidsdk::kSlotRefresh,     cpuidsdk::kSlotGetVersion,  cpuidsdk::kSlotDeviceCount, cpuidsdk::kSlotDeviceClass,
    cpuidsdk::kSlotDeviceName,  cpuidsdk::kSlotSensorCount, cpuidsdk::kSlotSensorInfo,
};

template <typename T>
T Element(const std::vector<T>& list, uint64_t reading) {
    return list[reading % list.size()];
}

}  // namespace

const SensorSdkConfig SensorSdk::kNoSdk{};

int32_t DefaultSensorId(size_t device, int32_t classCode, size_t indexInClass) {
    return static_cast<int32_t>(((device & 0x3F) << 22) | (static_cast<uint32_t>(classCode) & 0x3FF000u) |
                                (indexInClass & 0xFFF));
}

void SdkStringLedger::HandedOut(uintptr_t block) {
    m_alive.insert(block);
    m_freedBlocks.erase(block);
    ++m_handedOut;
}

void SdkStringLedger::Allocated(uintptr_t block) { m_freedBlocks.erase(block); }

bool SdkStringLedger::Touching(uintptr_t block, bool freeing) {
    if (m_freedBlocks.count(block)) {
        ++m_freedTwice;
        return false;
    }
    if (freeing && m_alive.erase(block)) {
        m_freedBlocks.insert(block);
        ++m_freed;
    }
    return true;
}

void SensorSdk::Load(const SensorSdkConfig& config) {
    m_config = &config;
    m_byClass.assign(config.devices.size(), {});
    for (size_t d = 0; d < config.devices.size(); ++d)
        for (const SdkSensor& sensor : config.devices[d].sensors) m_byClass[d][sensor.classCode].push_back(&sensor);
    m_instances.clear();
    m_nextInstance = kFirstInstance;
    m_reading = 0;
    m_counts.fill(0);
    m_trace.clear();
    m_strings = SdkStringLedger();
}

std::optional<int64_t> SensorSdk::Counter(std::string_view name) const {
    static_assert(std::size(kCounterNames) == kCountedCount, "one name per counter");
    for (size_t i = 0; i < kCountedCount; ++i)
        if (kCounterNames[i] == name) return m_counts[i];
    if (name == "sdk.strings") return m_strings.HandedOutCount();
    if (name == "sdk.strings_freed") return m_strings.FreedCount();
    if (name == "sdk.strings_freed_twice") return m_strings.FreedTwiceCount();
    if (name == "sdk.strings_alive") return m_strings.AliveCount();
    return std::nullopt;
}

void SensorSdk::Note(const std::string& call) { m_trace += (m_trace.empty() ? "" : "; ") + call; }

SensorSdk::InstanceState* SensorSdk::Live(Instance instance, bool mustBeStarted) {
    const auto found = m_instances.find(instance);
    if (found == m_instances.end() || (mustBeStarted && !found->second.started)) {
        Count(kRefused);
        return nullptr;
    }
    return &found->second;
}

const SdkDevice* SensorSdk::Device(int32_t device) const {
    if (device < 0 || static_cast<size_t>(device) >= m_config->devices.size()) return nullptr;
    return &m_config->devices[device];
}

const std::vector<const SdkSensor*>* SensorSdk::ClassSensors(int32_t device, int32_t sensorClass) const {
    if (!Device(device)) return nullptr;
    const auto found = m_byClass[device].find(sensorClass);
    return found == m_byClass[device].end() ? nullptr : &found->second;
}

bool SensorSdk::Attach() {
    Count(kLoads);
    if (m_config->present) Note("load");
    return m_config->present;
}

void SensorSdk::Detach() {
    Count(kUnloads);
    Note("unload");
}

bool SensorSdk::Serves(uint32_t id) {
    Count(kQuery);
    bool served = false;
    for (cpuidsdk::Slot slot : kServedSlots) served = served || cpuidsdk::kBindingIds[slot] == id;
    served = served && !m_config->unbound.count(id);
    if (!served) Count(kQueryUnknown);
    return served;
}

Instance SensorSdk::Create() {
    Count(kCreate);
    Note("create");
    const Instance instance = m_nextInstance++;
    m_instances.emplace(instance, InstanceState{});
    return instance;
}

void SensorSdk::Destroy(Instance instance) {
    Count(kDestroy);
    Note("destroy");
    if (Live(instance, false)) m_instances.erase(instance);
}

int32_t SensorSdk::Init(Instance instance, const char* directory, const char* fileName, int32_t featureMask,
                        int32_t* error, int32_t* extendedError, bool callerHoldsStartLock) {
    Count(kInit);
    if (callerHoldsStartLock) Count(kInitUnderLock);
    char mask[16];
    std::snprintf(mask, sizeof(mask), "0x%08X", static_cast<unsigned>(featureMask));
    Note(std::string("init ") + (directory ? directory : "(null)") + " " + (fileName ? fileName : "(null)") + " " + mask);
    InstanceState* state = Live(instance, false);
    if (!state || !directory || !fileName || !error || !extendedError) return 0;
    *error = m_config->initError;
    *extendedError = m_config->initExtendedError;
    state->started = m_config->initResult != 0;
    return m_config->initResult;
}

void SensorSdk::Close(Instance instance) {
    Count(kClose);
    Note("close");
    if (InstanceState* state = Live(instance, false)) state->started = false;
}

void SensorSdk::Refresh(Instance instance) {
    Count(kRefresh);
    if (Live(instance, true)) ++m_reading;
}

void SensorSdk::GetVersion(Instance instance, uint32_t* version) {
    Count(kVersion);
    Note("version");
    if (Live(instance, true) && version) *version = m_config->version;
}

int32_t SensorSdk::DeviceCount(Instance instance) {
    Count(kDeviceCount);
    if (!Live(instance, true)) return -1;
    return m_config->deviceCount ? *m_config->deviceCount : static_cast<int32_t>(m_config->devices.size());
}

int32_t SensorSdk::DeviceClass(Instance instance, int32_t device) {
    Count(kDeviceClass);
    const SdkDevice* found = Live(instance, true) ? Device(device) : nullptr;
    return found ? found->classCode : -1;
}

std::optional<std::string> SensorSdk::DeviceName(Instance instance, int32_t device) {
    Count(kDeviceName);
    const SdkDevice* found = Live(instance, true) ? Device(device) : nullptr;
    return found ? found->name : std::nullopt;
}

int32_t SensorSdk::SensorCount(Instance instance, int32_t device, int32_t sensorClass) {
    Count(kSensorCount);
    const SdkDevice* found = Live(instance, true) ? Device(device) : nullptr;
    if (!found) return -1;
    if (sensorClass == cpuidsdk::kAllSensorClasses)
        return found->allSensorsCount ? *found->allSensorsCount : static_cast<int32_t>(found->sensors.size());
    const auto given = found->classCounts.find(sensorClass);
    if (given != found->classCounts.end()) return given->second;
    const std::vector<const SdkSensor*>* sensors = ClassSensors(device, sensorClass);
    return sensors ? static_cast<int32_t>(sensors->size()) : 0;
}

std::optional<SensorSdk::SensorAnswer> SensorSdk::SensorInfo(Instance instance, int32_t device, int32_t sensor,
                                                             int32_t sensorClass) {
    Count(kSensorInfo);
    if (!Live(instance, true)) return std::nullopt;
    const std::vector<const SdkSensor*>* sensors = ClassSensors(device, sensorClass);
    if (!sensors || sensor < 0 || static_cast<size_t>(sensor) >= sensors->size()) return std::nullopt;
    const SdkSensor& s = *(*sensors)[sensor];
    if (!Element(s.answers, m_reading)) return std::nullopt;
    return SensorAnswer{s.id, s.name, s.raw, Element(s.values, m_reading), s.minimum, s.maximum};
}

}  // namespace bench
