// One answer of the SDK about one sensor, and what the catalogue makes of it: the display range and
// unit of its class, and the diagnostic line that shows it.
#pragma once

#include <cstddef>
#include <cstdint>

// The sensor classes in the order every walk over a device visits them, with their names.
struct SensorClass {
    int32_t nCode;
    const char* szName;  // 8-bit text; the one class without a name has ""
};
constexpr size_t kSensorClassCount = 17;
extern const SensorClass g_SensorClasses[kSensorClassCount];

constexpr size_t kReadingNameBytes = 128;  // with the terminator

struct SensorReading {
    int32_t nId = 0;
    char szName[kReadingNameBytes] = {};  // 8-bit ANSI text as the SDK gave it
    int32_t nRawValue = 0;
    float fValue = 0.0f;
    float fMin = 0.0f;
    float fMax = 0.0f;
    const char16_t* szUnit = u"";  // one of the fixed unit texts
};

// A diagnostic line, NUL-terminated.
struct ReadingLine {
    char szText[512];
};

// Sets the reading's display range and unit by its class; on device 1 a utilisation above 100
// becomes 100. Returns true with the diagnostic line in `line` when the class prints one for this
// value (the same condition that sets the unit).
bool NormaliseSensorReading(int32_t device, int32_t classCode, SensorReading& reading, ReadingLine& line);

// Copies a text of at most `available` bytes into `out` up to its first NUL, at most
// `capacity` - 1 bytes, and terminates it. Gives the number of bytes copied.
size_t CopyBoundedText(const char* text, size_t available, char* out, size_t capacity);
