#include "code_meaning.h"

namespace {

struct Meaning {
    ExportCall call;
    int code;
    const char* text;
};

using C = ExportCall;

const Meaning kMeanings[] = {
    {C::CheckFunctionSupport, 0, "ok"},
    {C::CheckFunctionSupport, -1, "firmware older than 0x500"},
    {C::CheckFunctionSupport, -2, "a firmware version register could not be read"},
    {C::CheckControllerSupport, 0, "firmware 0x500 or later"},
    {C::CheckControllerSupport, -1, "firmware older than 0x500"},
    {C::CheckControllerSupport, -2,
     "a firmware version register could not be read through NVAPI (always so on an AMD GPU)"},
    {C::CheckTiltSensor, 1, "the tilt sensor answered at load"},
    {C::CheckTiltSensor, 0, "the tilt sensor did not answer at load"},
    {C::ThermalMap, 0, "ok"},
    {C::ThermalMap, -1, "not offered (firmware 0x148 or older, or capability bit 2 clear), or the read failed"},
    {C::PowerStatus, 0, "ok (a fresh reading, or the last good one standing in for one or two failed reads)"},
    {C::PowerStatus, -1, "not offered (firmware 0x148 or older, or capability bit 1 clear)"},
    {C::PowerStatus, -2, "the read failed and no recent reading can stand in"},
    {C::MileageTotal, 0, "ok"},
    {C::MileageTotal, -1, "not offered (firmware 0x148 or older, or capability bit 0 clear), or the read failed"},
    {C::MileageLatest, 0, "ok"},
    {C::MileageLatest, -1, "no controller identified itself at load, or the read failed"},
    {C::MileageManual, 0, "ok"},
    {C::MileageManual, -1,
     "no controller identified itself at load, or the counters could not be read while recording"},
    {C::MileageStatus, 0, "ok"},
    {C::MileageStatus, -1, "no controller identified itself at load"},
    {C::SetMileage, 0, "ok"},
    {C::SetMileage, -1, "no controller identified itself at load, or a pause while stopped"},
    {C::TiltData, 0, "ok"},
    {C::TiltData, -1, "no tilt sensor answered at load"},
    {C::QlxswSupport, 1, "a helper reported the device, or could not be reached"},
    {C::QlxswSupport, -1, "both helper builds reported the device absent"},
    {C::QlxswPowerStatus, 1, "ok"},
    {C::QlxswPowerStatus, -1, "no group of the helper's list covers this key"},
    {C::QlxswPowerStatus, -3, "keys start at 1"},
    {C::QlxswPowerStatus, -4, "no presence check has found the device yet"},
    {C::QlxswPowerStatus, -5, "the helper's answer holds a piece that is no 32-bit hexadecimal integer"},
    {C::QlxswPowerStatus, -6, "the helper's list is empty, or no helper build was found"},
    {C::QlxswPowerStatus, -7, "the covering group announces more readings than the list holds"},
    {C::SensorStart, 0, "ok"},
    {C::SensorStart, -1,
     "the sensor SDK could not be loaded or started: cpuidsdk.dll is looked for relative to the current "
     "folder, in .\\, ..\\, ..\\..\\bin and ..\\..\\..\\bin"},
    {C::SensorStart, -2, "the module could not obtain the host's module handle"},
    {C::SensorStart, -3, "the sensor SDK gives no device list"},
    {C::SensorStatus, 0, "ok"},
    {C::SensorStatus, -1, "nothing applied: no record given"},
    {C::SensorStatus, -2, "a given sensor number is not in the catalogue"},
};

}  // namespace

std::string CodeMeaning(ExportCall call, int code) {
    for (const Meaning& m : kMeanings)
        if (m.call == call && m.code == code) return m.text;
    return "not a result this export documents";
}

std::string CodeText(ExportCall call, int code) { return std::to_string(code) + ": " + CodeMeaning(call, code); }

nlohmann::ordered_json CodeJson(ExportCall call, int code) {
    return {{"code", code}, {"meaning", CodeMeaning(call, code)}};
}
