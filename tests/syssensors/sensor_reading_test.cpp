#include "syssensors/sensor_reading.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <tuple>

#include "vendor/cpuidsdk_abi.h"

using namespace cpuidsdk;

namespace {

SensorReading Reading(float value, const char* name = "Sensor", float minimum = -1.0f, float maximum = 999.0f) {
    SensorReading r;
    r.nId = 0x00402003;
    std::strcpy(r.szName, name);
    r.nRawValue = 7;
    r.fValue = value;
    r.fMin = minimum;
    r.fMax = maximum;
    return r;
}

struct Normalised {
    SensorReading reading;
    std::string line;  // empty when none is printed
};

Normalised Normalise(int32_t classCode, SensorReading reading) {
    ReadingLine line;
    const bool printed = NormaliseSensorReading(0, classCode, reading, line);
    return {reading, printed ? line.szText : ""};
}

std::u16string Unit(const Normalised& n) { return n.reading.szUnit; }

}  // namespace

// Each class's range, unit and diagnostic line. (Temperature and fan lines of ordinary readings,
// and utilisation held at 100 on device 1: tests/syssensors/sensor_catalogue_test.)
TEST(SensorReading, EachClassSetsItsRangeUnitAndLine) {
    const struct {
        int32_t code;
        SensorReading reading;
        float minimum, maximum;
        const char16_t* unit;
        const char* line;
    } cases[] = {
        {kSensorVoltage, Reading(1.2f, "CPU VCORE"), 0, 2, u"V",
         ">> 0x00402003, CPU VCORE, 1.200 V\t0.000 V\t2.000 V\n"},
        // Both conversions truncate toward zero.
        {kSensorTemperature, Reading(-10.2f, "Ambient"), 0, 130, u"\u00B0C",
         ">> 0x00402003, Ambient, -9 \xA1\xE3" "C  (13 oF)\t0 \xA1\xE3" "C  (32 oF)\t130 \xA1\xE3" "C  (266 oF)\n"},
        // Beyond the range of an int the whole-number forms show what the x86 conversion gives.
        {kSensorFan, Reading(1e12f, "F"), 0, 6000, u"RPM", ">> 0x00402003, F, -2147483648 RPM\t0 RPM\t6000 RPM\n"},
        {kSensorCurrent, Reading(12.345f, "C"), 0, 300, u"A", ">> 0x00402003, C, 12.35 A\t0.00 A\t300.00 A\n"},
        {kSensorPower, Reading(65.0f, "P"), 0, 300, u"W", ">> 0x00402003, P, 65.00 W\t0.00 W\t300.00 W\n"},
        {kSensorFanPwm, Reading(42.9f, "PWM"), 0, 100, u"%", ">> 0x00402003, PWM, 42 %\t0 %\t100 %\n"},
        {kSensorPosition, Reading(3.7f, "Pos", -2.5f, 9.9f), -2.5f, 9.9f, u" ", ">> 0x00402003, Pos, 3\t-2\t9\n"},
        // An infinite reading, as the x86 conversion gives it.
        {kSensorPosition, Reading(std::numeric_limits<float>::infinity()), -1, 999, u" ",
         ">> 0x00402003, Sensor, -2147483648\t-1\t999\n"},
        // Without a minimum from the SDK, the value alone.
        {kSensorCapacity, Reading(45000.4f, "Full", 5e9f, 6e9f), 5e9f, 6e9f, u"mWh",
         ">> 0x00402003, Full, 45000 mWh\n"},
        {kSensorCapacity, Reading(45000.6f, "Full", 0.0f, 50000.0f), 0, 50000, u"mWh",
         ">> 0x00402003, Full, 45001 mWh\t0 mWh\t50000 mWh\n"},
        {kSensorCaseOpen, Reading(1.0f, "Chassis"), -1, 999, u" ", ">> 0x00402003, Chassis, 7\n"},
        {kSensorLevel, Reading(87.9f, "Charge"), 0, 100, u"%", ">> 0x00402003, Charge, 87 %\t0 %\t100 %\n"},
        {kSensorUtilization, Reading(99.6f, "Load"), 0, 100, u"%", ">> 0x00402003, Load, 99 %\t0 %\t100 %\n"},
        {kSensorClock, Reading(4800.4f, "Core"), 0, 6000, u"MHz", ">> 0x00402003, Core, 4800 MHz\t0 MHz\t6000 MHz\n"},
        {kSensorThroughput, Reading(12.5f, "Read"), 0, 100, u"MB/S",
         ">> 0x00402003, Read, 12.50 A\t0.00 A\t100.00 MB/S\n"},
        // A line and (except for a fan) a unit need a reading of the class; the range is set all the same.
        // Halves round upward: -0.5 is 0, -0.51 is -1.
        {kSensorCurrent, Reading(-0.5f), 0, 300, u"A", ">> 0x00402003, Sensor, -0.50 A\t0.00 A\t300.00 A\n"},
        {kSensorCurrent, Reading(-0.51f), 0, 300, u"", ""},
        {kSensorVoltage, Reading(-4294967296.0f), 0, 20, u"", ""},
        {kSensorVoltage, Reading(-4294967040.0f), 0, 20, u"V",
         ">> 0x00402003, Sensor, -4294967040.000 V\t0.000 V\t20.000 V\n"},
        {kSensorTemperature, Reading(-4294967296.0f), 0, 130, u"", ""},
        {kSensorFan, Reading(-1.0f), 0, 6000, u"RPM", ""},
        {kSensorLimiter, Reading(100.49f), 0, 100, u"%", ">> 0x00402003, Sensor, 100 %\t0 %\t100 %\n"},
        {kSensorLimiter, Reading(100.5f), 0, 100, u"", ""},
        {kSensorClock, Reading(-1.0f), 0, 6000, u"", ""},
        // Classes without rules of their own keep the SDK's range.
        {kSensorPumpPwm, Reading(1.5f, "Pump", 0.0f, 2.0f), 0, 2, u" ",
         ">> 0x00402003,                 Pump, 7, 1.500000, 0.000000, 2.000000\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.code << " " << c.reading.fValue);
        const Normalised n = Normalise(c.code, c.reading);
        EXPECT_EQ(c.minimum, n.reading.fMin);
        EXPECT_EQ(c.maximum, n.reading.fMax);
        EXPECT_EQ(c.unit, Unit(n));
        EXPECT_EQ(c.line, n.line);
        EXPECT_EQ(c.reading.fValue, n.reading.fValue);
    }
}

TEST(SensorReading, VoltageMaximumComesFromTheFirstTextTheNameHolds) {
    const std::pair<const char*, float> cases[] = {
        {"+3.3V", 5.0f}, {"12V", 20.0f}, {"+12V", 14.0f}, {"VIN3 +12V", 2.0f}, {"GPU Offset", 100.0f}, {"vcore", 20.0f},
    };
    for (const auto& [name, maximum] : cases)
        EXPECT_EQ(maximum, Normalise(kSensorVoltage, Reading(1.0f, name)).reading.fMax) << name;
}

// (A limit and a null name, from the SDK through the module: tests/syssensors/sensor_catalogue_test.)
TEST(SensorReading, TextsAreCopiedUpToATerminatorOrTheirOwnLength) {
    const std::tuple<const char*, size_t, std::string> cases[] = {{"ab\0cd", 5, "ab"}, {"abcdef", 3, "abc"}};
    for (const auto& [text, bytes, copied] : cases) {
        char out[kReadingNameBytes];
        std::memset(out, 'x', sizeof(out));
        EXPECT_EQ(copied.size(), CopyBoundedText(text, bytes, out, sizeof(out)));
        EXPECT_EQ(copied, std::string(out, strnlen(out, sizeof(out))));
    }
}
