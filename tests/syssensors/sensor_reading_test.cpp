#include "syssensors/sensor_reading.h"

#include <gtest/gtest.h>

#include <cstring>
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
    bool printed;
    std::string line;
};

Normalised Normalise(int32_t classCode, SensorReading reading, int32_t device = 0) {
    ReadingLine line;
    const bool printed = NormaliseSensorReading(device, classCode, reading, line);
    return {reading, printed, printed ? line.szText : ""};
}

std::u16string Unit(const Normalised& n) { return n.reading.szUnit; }

}  // namespace

TEST(SensorReading, EachClassSetsItsRangeAndUnit) {
    const std::tuple<int32_t, float, float, const char16_t*> cases[] = {
        {kSensorTemperature, 0, 130, u"\u00B0C"}, {kSensorFan, 0, 6000, u"RPM"},    {kSensorCurrent, 0, 300, u"A"},
        {kSensorPower, 0, 300, u"W"},             {kSensorFanPwm, 0, 100, u"%"},    {kSensorPumpPwm, -1, 999, u" "},
        {kSensorWaterLevel, -1, 999, u" "},       {kSensorPosition, -1, 999, u" "}, {kSensorCapacity, -1, 999, u"mWh"},
        {kSensorCaseOpen, -1, 999, u" "},         {kSensorLevel, 0, 100, u"%"},     {kSensorCounter, -1, 999, u" "},
        {kSensorUtilization, 0, 100, u"%"},       {kSensorClock, 0, 6000, u"MHz"},  {kSensorThroughput, 0, 100, u"MB/S"},
        {kSensorLimiter, 0, 100, u"%"},           {0x12000, -1, 999, u" "},
    };
    for (const auto& [code, minimum, maximum, unit] : cases) {
        const Normalised n = Normalise(code, Reading(50.0f));
        SCOPED_TRACE(::testing::Message() << std::hex << code);
        EXPECT_EQ(minimum, n.reading.fMin);
        EXPECT_EQ(maximum, n.reading.fMax);
        EXPECT_EQ(unit, Unit(n));
        EXPECT_TRUE(n.printed);
    }
}

TEST(SensorReading, VoltageMaximumComesFromTheFirstTextTheNameHolds) {
    const std::pair<const char*, float> cases[] = {
        {"CPU VCORE", 2.0f}, {"+3.3V", 5.0f},      {"+5VSB", 7.0f}, {"12V", 20.0f},     {"+12V", 14.0f},
        {"VIN3 +12V", 2.0f}, {"GPU Offset", 100.0f}, {"GPU", 2.0f}, {"vcore", 20.0f},
    };
    for (const auto& [name, maximum] : cases) {
        const Normalised n = Normalise(kSensorVoltage, Reading(1.0f, name));
        EXPECT_EQ(maximum, n.reading.fMax) << name;
        EXPECT_EQ(0.0f, n.reading.fMin) << name;
    }
}

TEST(SensorReading, UnitValueAndLineNeedAReadingOfTheirClass) {
    // Class, value and device; the value shown, the unit and whether a line is printed.
    const std::tuple<int32_t, float, int32_t, float, const char16_t*, bool> cases[] = {
        // Halves round upward: -0.5 is 0, -0.51 is -1.
        {kSensorCurrent, -0.5f, 0, -0.5f, u"A", true},
        {kSensorCurrent, -0.51f, 0, -0.51f, u"", false},
        {kSensorVoltage, -4294967296.0f, 0, -4294967296.0f, u"", false},
        {kSensorVoltage, -4294000000.0f, 0, -4294000000.0f, u"V", true},
        {kSensorTemperature, -4294967296.0f, 0, -4294967296.0f, u"", false},
        // A fan always has its unit, but a line only for a reading of 0 or more.
        {kSensorFan, -1.0f, 0, -1.0f, u"RPM", false},
        {kSensorLimiter, 100.49f, 0, 100.49f, u"%", true},
        {kSensorLimiter, 100.5f, 0, 100.5f, u"", false},
        {kSensorClock, -1.0f, 0, -1.0f, u"", false},
        // Utilisation above 100 is held at 100 on device 1 only, and only while it rounds to 100.
        {kSensorUtilization, 100.2f, 1, 100.0f, u"%", true},
        {kSensorUtilization, 100.2f, 0, 100.2f, u"%", true},
        {kSensorUtilization, 100.7f, 1, 100.7f, u"", false},
    };
    for (const auto& [code, value, device, shown, unit, printed] : cases) {
        const Normalised n = Normalise(code, Reading(value), device);
        SCOPED_TRACE(::testing::Message() << std::hex << code << " " << value << " on " << device);
        EXPECT_EQ(shown, n.reading.fValue);
        EXPECT_EQ(unit, Unit(n));
        EXPECT_EQ(printed, n.printed);
    }
    // The range is set all the same.
    EXPECT_EQ(300.0f, Normalise(kSensorCurrent, Reading(-0.51f)).reading.fMax);
    EXPECT_EQ(100.0f, Normalise(kSensorUtilization, Reading(100.7f), 1).reading.fMax);
}

TEST(SensorReading, DiagnosticLinesAreExact) {
    const std::tuple<int32_t, SensorReading, const char*> cases[] = {
        {kSensorVoltage, Reading(1.2f, "CPU VCORE"), ">> 0x00402003, CPU VCORE, 1.200 V\t0.000 V\t2.000 V\n"},
        {kSensorTemperature, Reading(45.6f, "Core #0"),
         ">> 0x00402003, Core #0, 46 \xA1\xE3" "C  (114 oF)\t0 \xA1\xE3" "C  (32 oF)\t130 \xA1\xE3" "C  (266 oF)\n"},
        // Both conversions truncate toward zero.
        {kSensorTemperature, Reading(-10.2f, "Ambient"),
         ">> 0x00402003, Ambient, -9 \xA1\xE3" "C  (13 oF)\t0 \xA1\xE3" "C  (32 oF)\t130 \xA1\xE3" "C  (266 oF)\n"},
        {kSensorFan, Reading(1234.7f, "FANIN0"), ">> 0x00402003, FANIN0, 1234 RPM\t0 RPM\t6000 RPM\n"},
        // Beyond the range of an int the whole-number forms show what the x86 conversion gives.
        {kSensorFan, Reading(1e12f, "F"), ">> 0x00402003, F, -2147483648 RPM\t0 RPM\t6000 RPM\n"},
        {kSensorCurrent, Reading(12.345f, "C"), ">> 0x00402003, C, 12.35 A\t0.00 A\t300.00 A\n"},
        {kSensorPower, Reading(65.0f, "P"), ">> 0x00402003, P, 65.00 W\t0.00 W\t300.00 W\n"},
        {kSensorFanPwm, Reading(42.9f, "PWM"), ">> 0x00402003, PWM, 42 %\t0 %\t100 %\n"},
        {kSensorPosition, Reading(3.7f, "Pos", -2.5f, 9.9f), ">> 0x00402003, Pos, 3\t-2\t9\n"},
        // Without a minimum from the SDK, the value alone.
        {kSensorCapacity, Reading(45000.4f, "Full", 5e9f, 6e9f), ">> 0x00402003, Full, 45000 mWh\n"},
        {kSensorCapacity, Reading(45000.6f, "Full", 0.0f, 50000.0f), ">> 0x00402003, Full, 45001 mWh\t0 mWh\t50000 mWh\n"},
        {kSensorCaseOpen, Reading(1.0f, "Chassis"), ">> 0x00402003, Chassis, 7\n"},
        {kSensorLevel, Reading(87.9f, "Charge"), ">> 0x00402003, Charge, 87 %\t0 %\t100 %\n"},
        {kSensorClock, Reading(4800.4f, "Core"), ">> 0x00402003, Core, 4800 MHz\t0 MHz\t6000 MHz\n"},
        {kSensorThroughput, Reading(12.5f, "Read"), ">> 0x00402003, Read, 12.50 A\t0.00 A\t100.00 MB/S\n"},
        {kSensorPumpPwm, Reading(1.5f, "Pump", 0.0f, 2.0f),
         ">> 0x00402003,                 Pump, 7, 1.500000, 0.000000, 2.000000\n"},
    };
    for (const auto& [code, reading, line] : cases) EXPECT_EQ(line, Normalise(code, reading).line);
}

TEST(SensorReading, TextsAreCopiedWithinTheirLimitAndTheirOwnLength) {
    const std::string unterminated(300, 'n');
    const std::tuple<const char*, size_t, std::string> cases[] = {
        {unterminated.data(), unterminated.size(), std::string(127, 'n')},
        {"ab\0cd", 5, "ab"},
        // A string's own length ends the copy even where no terminator follows.
        {"abcdef", 3, "abc"},
        {nullptr, 10, ""},
        {"\xE9\xFF\x80", 3, "\xE9\xFF\x80"},
    };
    for (const auto& [text, bytes, copied] : cases) {
        char out[kReadingNameBytes];
        std::memset(out, 'x', sizeof(out));
        EXPECT_EQ(copied.size(), CopyBoundedText(text, bytes, out, sizeof(out)));
        EXPECT_EQ(copied, std::string(out, strnlen(out, sizeof(out))));
    }
}
