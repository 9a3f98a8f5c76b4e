// The naming rules of the sensor catalogue: how sensor names, categories and keys are written, the
// device class texts, and how every text is cut to its field. Texts are UTF-16.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

// Longest texts, in UTF-16 units without the terminator.
constexpr size_t kRecordTextChars = 127;  // names, categories, keys, display and device names
constexpr size_t kDeviceTextChars = 63;   // device class texts and device names
constexpr size_t kUnitChars = 63;

// The text cut to at most `limit` units.
std::u16string Cut(std::u16string text, size_t limit);

// ASCII text widened unit by unit (the class names and device class texts are ASCII).
std::u16string Widen(std::string_view ascii);

// Sensor names: "Power Supply" -> "PSU", "Voltage" -> "Volts", "Temperature" -> "Temp",
// "Utilization" -> "Usage", "PowerSupply" -> "PSU", and "Limit" and "Synchronisation" removed,
// each replacement over the whole text in this order. Cut to kRecordTextChars.
std::u16string NormaliseSensorName(std::u16string text);
// The same rules without the removal of "Limit", which keys keep.
std::u16string NormaliseSensorKey(std::u16string text);

// "<device class text>-<sensor class name>", e.g. "CPU-Temp"; cut to kRecordTextChars.
std::u16string BuildSensorCategory(std::u16string_view deviceClass, std::u16string_view className);

// The key of a sensor from its (normalised) name and its category, e.g. "CPU-Temp-Core" for
// "Core #0" in "CPU-Temp": the name loses what follows its last '#', separators become '-', spaces
// go, one left-to-right pass turns "--" into "-", and the key rules apply. Cut to kRecordTextChars.
std::u16string BuildSensorKey(std::u16string_view name, std::u16string_view category);

// The text of a device class code ("CPU", "MB", ...); "Unknown" for any other code.
std::u16string_view DeviceClassText(int32_t code);

// Makes device class texts unique in the order they are entered: the first of a text keeps it,
// the next become "<text>_1", "<text>_2" ... (cut to kDeviceTextChars). Exact, case-sensitive.
class UniqueClassTexts {
public:
    std::u16string Enter(std::u16string text);

private:
    std::map<std::u16string, int> m_counters;
};
