#include "syssensors/sensor_text.h"

#include <utility>

#include "vendor/cpuidsdk_abi.h"

namespace {

struct Replacement {
    std::u16string_view from;
    std::u16string_view to;
};

constexpr Replacement kLimitRemoved{u"Limit", u""};

// Applied in this order; keys skip the removal of "Limit".
constexpr Replacement kNameReplacements[] = {
    {u"Power Supply", u"PSU"}, {u"Voltage", u"Volts"}, {u"Temperature", u"Temp"}, {u"Utilization", u"Usage"},
    {u"PowerSupply", u"PSU"},  kLimitRemoved,          {u"Synchronisation", u""},
};

void ReplaceAll(std::u16string& text, const Replacement& r) {
    for (size_t at = text.find(r.from); at != std::u16string::npos; at = text.find(r.from, at + r.to.size()))
        text.replace(at, r.from.size(), r.to);
}

std::u16string Normalise(std::u16string text, bool keepLimit) {
    for (const Replacement& r : kNameReplacements) {
        if (keepLimit && r.from == kLimitRemoved.from) continue;
        ReplaceAll(text, r);
    }
    return Cut(std::move(text), kRecordTextChars);
}

// Separators become '-' and spaces go.
std::u16string KeyPart(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (c == u' ') continue;
        out += (c == u'/' || c == u'(' || c == u')' || c == u':' || c == u'+') ? u'-' : c;
    }
    return out;
}

// One left-to-right pass over non-overlapping pairs: "--" -> "-", so "---" -> "--".
std::u16string CollapseDashPairs(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == u'-' && i + 1 < text.size() && text[i + 1] == u'-') ++i;
    }
    return out;
}

}  // namespace

std::u16string Cut(std::u16string text, size_t limit) {
    if (text.size() > limit) text.resize(limit);
    return text;
}

std::u16string Widen(std::string_view ascii) {
    std::u16string out;
    out.reserve(ascii.size());
    for (char c : ascii) out += static_cast<char16_t>(static_cast<unsigned char>(c));
    return out;
}

std::u16string NormaliseSensorName(std::u16string text) { return Normalise(std::move(text), false); }

std::u16string NormaliseSensorKey(std::u16string text) { return Normalise(std::move(text), true); }

std::u16string BuildSensorCategory(std::u16string_view deviceClass, std::u16string_view className) {
    std::u16string category(deviceClass);
    category += u'-';
    category += className;
    return Cut(std::move(category), kRecordTextChars);
}

std::u16string BuildSensorKey(std::u16string_view name, std::u16string_view category) {
    const size_t hash = name.rfind(u'#');
    const std::u16string a = KeyPart(hash == std::u16string_view::npos ? name : name.substr(0, hash));
    std::u16string key = KeyPart(category);
    if (a.empty() || a.front() != u'-') key += u'-';
    key += a;
    return NormaliseSensorKey(CollapseDashPairs(key));
}

std::u16string_view DeviceClassText(int32_t code) {
    switch (code) {
        case cpuidsdk::kDeviceProcessor: return u"CPU";
        case cpuidsdk::kDeviceStorage: return u"HD";
        case cpuidsdk::kDeviceDisplayAdapter: return u"Adapter";
        case cpuidsdk::kDeviceBattery: return u"Battery";
        case cpuidsdk::kDeviceMainboard: return u"MB";
        case cpuidsdk::kDeviceMemory: return u"Memory";
        case cpuidsdk::kDevicePowerSupply: return u"PSU";
        case cpuidsdk::kDeviceWaterCooler: return u"WATERCOOLER";
        default: return u"Unknown";
    }
}

std::u16string UniqueClassTexts::Enter(std::u16string text) {
    const auto [entry, isNew] = m_counters.emplace(text, 0);
    if (isNew) return Cut(std::move(text), kDeviceTextChars);
    const std::string suffix = "_" + std::to_string(++entry->second);
    return Cut(std::move(text) + Widen(suffix), kDeviceTextChars);
}
