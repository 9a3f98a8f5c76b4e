// Feeds hostile SDK answers to the catalogue's text rules: names of any length with or without a
// terminator, bytes of every value, any class and any value. Whatever comes in, every text must
// stay within its field and the key free of the characters the key rules replace.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "syssensors/sensor_reading.h"
#include "syssensors/sensor_text.h"
#include "vendor/cpuidsdk_abi.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 10) return 0;
    // The first bytes choose the class, the device and the value; the rest is the SDK's name bytes.
    int32_t classCode = g_SensorClasses[data[0] % kSensorClassCount].nCode;
    if (data[1] & 0x80) classCode = static_cast<int32_t>(data[1]) << 12;
    float value;
    std::memcpy(&value, data + 2, sizeof(value));
    float minimum;
    std::memcpy(&minimum, data + 6, sizeof(minimum));
    const char* name = reinterpret_cast<const char*>(data + 10);
    const size_t nameBytes = size - 10;

    SensorReading reading;
    reading.nId = static_cast<int32_t>(size * 2654435761u);
    const size_t copied = CopyBoundedText(name, nameBytes, reading.szName, sizeof(reading.szName));
    Check(copied < sizeof(reading.szName) && copied <= nameBytes && reading.szName[copied] == '\0');
    reading.fValue = value;
    reading.fMin = minimum;
    reading.fMax = -minimum;
    ReadingLine line;
    if (NormaliseSensorReading(data[1] & 1, classCode, reading, line)) {
        const size_t length = strnlen(line.szText, sizeof(line.szText));
        Check(length < sizeof(line.szText) && std::strncmp(line.szText, ">> 0x", 5) == 0);
    }
    Check(std::char_traits<char16_t>::length(reading.szUnit) <= kUnitChars);

    // Any byte becomes one UTF-16 unit: the fuzzer has no code page.
    const std::u16string wideName = Widen(reading.szName);
    UniqueClassTexts classTexts;
    const std::u16string deviceClass = classTexts.Enter(wideName.substr(0, 80));
    Check(classTexts.Enter(wideName.substr(0, 80)).size() <= kDeviceTextChars);
    const std::u16string sensorName = NormaliseSensorName(wideName);
    const std::u16string category = BuildSensorCategory(deviceClass, wideName);
    const std::u16string key = BuildSensorKey(sensorName, category);
    Check(sensorName.size() <= kRecordTextChars && category.size() <= kRecordTextChars &&
          key.size() <= kRecordTextChars);
    Check(key.find_first_of(u" /():+") == std::u16string::npos);
    return 0;
}
