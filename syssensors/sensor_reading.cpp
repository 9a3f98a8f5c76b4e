#include "syssensors/sensor_reading.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>

#include "vendor/cpuidsdk_abi.h"

using namespace cpuidsdk;

const SensorClass g_SensorClasses[kSensorClassCount] = {
    {kSensorVoltage, "volts"},       {kSensorTemperature, "Temp"},  {kSensorFan, "Fan"},
    {kSensorCurrent, "Current"},     {kSensorPower, "Power"},       {kSensorFanPwm, "FAN(PWM)"},
    {kSensorPumpPwm, "Pump(PWM)"},   {kSensorWaterLevel, "WaterLevel"}, {kSensorPosition, "Position"},
    {kSensorCapacity, "Capacity"},   {kSensorCaseOpen, "CaseOpen"}, {kSensorLevel, "Level"},
    {kSensorCounter, "Counter"},     {kSensorUtilization, "Usage"}, {kSensorClock, "Clocks"},
    {kSensorThroughput, ""},         {kSensorLimiter, "Limiter"},
};

namespace {

// The SDK marks a missing value with a huge negative one, and a missing minimum with a huge one.
constexpr double kNoValue = -4294967296.0;
constexpr double kNoMinimum = 4294967296.0;

// Nearest whole number, halves upward.
double Rounded(float value) { return std::floor(static_cast<double>(value) + 0.5); }

// C's truncating conversion; out of range (and NaN) it gives what the x86 conversion gives.
int Truncated(double value) {
    return value > -2147483649.0 && value < 2147483648.0 ? static_cast<int>(value) : std::numeric_limits<int>::min();
}

// The voltage range's maximum by the first of these texts the 8-bit name holds.
float VoltageMaximum(const char* name) {
    static constexpr struct {
        const char* text;
        float maximum;
    } kRanges[] = {{"VIN", 2.0f},    {"+5V", 7.0f},      {"+3.3V", 5.0f}, {"+12V", 14.0f},
                   {"VCORE", 2.0f},  {"Offset", 100.0f}, {"VID", 2.0f},   {"GPU", 2.0f}};
    for (const auto& range : kRanges)
        if (std::strstr(name, range.text)) return range.maximum;
    return 20.0f;
}

class LineWriter {
public:
    explicit LineWriter(ReadingLine& line) : m_line(line) { m_line.szText[0] = '\0'; }

    void Add(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        const size_t room = sizeof(m_line.szText) - m_length;
        va_list args;
        va_start(args, format);
        const int n = std::vsnprintf(m_line.szText + m_length, room, format, args);
        va_end(args);
        if (n > 0) m_length += static_cast<size_t>(n) < room ? static_cast<size_t>(n) : room - 1;
    }

    void Start(const SensorReading& r) { Add(">> 0x%08X, %s, ", static_cast<unsigned>(r.nId), r.szName); }

    // Value, minimum and maximum tab-separated, or the value alone when the SDK gave no minimum.
    void Reals(const SensorReading& r, const char* valueFormat, const char* minimumFormat, const char* maximumFormat) {
        Add(valueFormat, static_cast<double>(r.fValue));
        if (r.fMin < kNoMinimum) {
            Add("\t");
            Add(minimumFormat, static_cast<double>(r.fMin));
            Add("\t");
            Add(maximumFormat, static_cast<double>(r.fMax));
        }
        Add("\n");
    }
    void Reals(const SensorReading& r, const char* format) { Reals(r, format, format, format); }

    void Wholes(const SensorReading& r, const char* format) {
        Add(format, Truncated(r.fValue));
        if (r.fMin < kNoMinimum) {
            Add("\t");
            Add(format, Truncated(r.fMin));
            Add("\t");
            Add(format, Truncated(r.fMax));
        }
        Add("\n");
    }

private:
    ReadingLine& m_line;
    size_t m_length = 0;
};

void SetRange(SensorReading& r, float minimum, float maximum) {
    r.fMin = minimum;
    r.fMax = maximum;
}

}  // namespace

bool NormaliseSensorReading(int32_t device, int32_t classCode, SensorReading& r, ReadingLine& line) {
    LineWriter out(line);
    const double rounded = Rounded(r.fValue);
    const bool wholeAtLeastZero = rounded >= 0.0;
    const bool wholePercent = rounded >= 0.0 && rounded <= 100.0;
    switch (classCode) {
        case kSensorVoltage:
            SetRange(r, 0.0f, VoltageMaximum(r.szName));
            if (!(r.fValue > kNoValue)) return false;
            r.szUnit = u"V";
            out.Start(r);
            out.Add("%.3f V\t%.3f V\t%.3f V\n", static_cast<double>(r.fValue), 0.0, static_cast<double>(r.fMax));
            return true;
        case kSensorTemperature:
            SetRange(r, 0.0f, 130.0f);
            if (!(r.fValue > kNoValue)) return false;
            r.szUnit = u"\u00B0C";
            out.Start(r);
            // The degree sign goes out as the two bytes A1 E3.
            out.Add("%d \xA1\xE3" "C  (%d oF)\t0 \xA1\xE3" "C  (32 oF)\t130 \xA1\xE3" "C  (266 oF)\n",
                    Truncated(r.fValue + 0.5), Truncated(r.fValue * 1.8 + 32.0));
            return true;
        case kSensorFan:
            SetRange(r, 0.0f, 6000.0f);
            r.szUnit = u"RPM";
            if (!wholeAtLeastZero) return false;
            out.Start(r);
            out.Wholes(r, "%d RPM");
            return true;
        case kSensorCurrent:
        case kSensorPower:
            SetRange(r, 0.0f, 300.0f);
            if (!wholeAtLeastZero) return false;
            r.szUnit = classCode == kSensorCurrent ? u"A" : u"W";
            out.Start(r);
            out.Reals(r, classCode == kSensorCurrent ? "%.2f A" : "%.2f W");
            return true;
        case kSensorFanPwm:
            SetRange(r, 0.0f, 100.0f);
            if (!wholeAtLeastZero) return false;
            r.szUnit = u"%";
            out.Start(r);
            out.Wholes(r, "%d %%");
            return true;
        case kSensorPosition:
            r.szUnit = u" ";
            out.Start(r);
            out.Wholes(r, "%d");
            return true;
        case kSensorCapacity:
            if (!wholeAtLeastZero) return false;
            r.szUnit = u"mWh";
            out.Start(r);
            out.Reals(r, "%.0f mWh");
            return true;
        case kSensorCaseOpen:
        case kSensorCounter:
            r.szUnit = u" ";
            out.Add(">> 0x%08X, %s, %d\n", static_cast<unsigned>(r.nId), r.szName, r.nRawValue);
            return true;
        case kSensorLevel:
            SetRange(r, 0.0f, 100.0f);
            r.szUnit = u"%";
            out.Start(r);
            out.Add("%d %%\t%d %%\t%d %%\n", Truncated(r.fValue), 0, 100);
            return true;
        case kSensorUtilization:
            SetRange(r, 0.0f, 100.0f);
            if (!wholePercent) return false;
            r.szUnit = u"%";
            if (device == 1 && r.fValue > 100.0f) r.fValue = 100.0f;
            out.Start(r);
            out.Wholes(r, "%d %%");
            return true;
        case kSensorClock:
            SetRange(r, 0.0f, 6000.0f);
            if (!wholeAtLeastZero) return false;
            r.szUnit = u"MHz";
            out.Start(r);
            out.Reals(r, "%.0f MHz");
            return true;
        case kSensorThroughput:
            SetRange(r, 0.0f, 100.0f);
            if (!wholeAtLeastZero) return false;
            r.szUnit = u"MB/S";
            out.Start(r);
            out.Reals(r, "%.2f A", "%.2f A", "%.2f MB/S");
            return true;
        case kSensorLimiter:
            SetRange(r, 0.0f, 100.0f);
            if (!wholePercent) return false;
            r.szUnit = u"%";
            out.Start(r);
            out.Wholes(r, "%d %%");
            return true;
        default:
            r.szUnit = u" ";
            out.Add(">> 0x%08X, %20s, %d, %f, %f, %f\n", static_cast<unsigned>(r.nId), r.szName, r.nRawValue,
                    static_cast<double>(r.fValue), static_cast<double>(r.fMin), static_cast<double>(r.fMax));
            return true;
    }
}

size_t CopyBoundedText(const char* text, size_t available, char* out, size_t capacity) {
    if (capacity == 0) return 0;
    size_t n = 0;
    if (text) {
        const size_t limit = available < capacity - 1 ? available : capacity - 1;
        while (n < limit && text[n] != '\0') ++n;
        std::memcpy(out, text, n);
    }
    out[n] = '\0';
    return n;
}
