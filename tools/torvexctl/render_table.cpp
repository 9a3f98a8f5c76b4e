#include "render_table.h"

#include <vector>

#include "board_text.h"
#include "code_meaning.h"
#include "number_text.h"
#include "text_layout.h"

namespace {

std::string NotGiven(ModuleExport call, int code) { return "n/a (" + CodeText(call, code) + ")"; }

// Label in a fixed column, then the value.
std::string Row(const std::string& label, const std::string& value) {
    return Padded("    " + label + " ", 26) + value + "\n";
}

std::string CounterRow(const char* label, ModuleExport call, const Reading<Counters>& r) {
    if (!r.valid) return Row(label, NotGiven(call, r.code));
    return Row(label,
               Columns({std::to_string(r.value[0]), std::to_string(r.value[1]), std::to_string(r.value[2])}, 12));
}

std::string ControllerRows(const BoardSnapshot& b) {
    std::string out = "  Controller\n";
    const Reading<FunctionSupport>& f = b.functions;
    if (f.valid) {
        const std::string names = CapabilityNamesText(f.value.nFunction);
        out += Row("firmware version", FirmwareVersionText(f.value.nVersion)) +
               Row("capabilities", CapabilitiesText(f.value.nFunction) + (names.empty() ? "" : "  " + names));
    } else {
        out += Row("firmware version", NotGiven(ModuleExport::Check_Function_Support, f.code)) +
               Row("capabilities", NotGiven(ModuleExport::Check_Function_Support, f.code));
    }
    // The controller check writes its answer on its refusals too; the code says why.
    const Reading<bool>& c = b.controller;
    std::string check = c.valid ? (c.value ? "supported" : "not supported") : "n/a";
    if (c.code != 0) check += " (" + CodeText(ModuleExport::Check_MTPD_Support, c.code) + ")";
    out += Row("controller check", check);
    const Reading<bool>& t = b.tiltPresent;
    return out + Row("tilt sensor",
                     t.valid ? (t.value ? "present" : "absent") : NotGiven(ModuleExport::Check_GSensor_Support, t.code));
}

std::string ThermalRows(const Reading<ThermalMap>& r) {
    std::string out =
        std::string("  Thermal map, in ") + kCelsius + "\n" + Row("sensor", Columns({"T1", "T2", "T3", "T4"}, 12));
    if (!r.valid) return out + Row("temperatures", NotGiven(ModuleExport::GetThermalMap, r.code));
    const float* t = r.value.fValue;
    return out + Row("temperatures", Columns({FloatText(t[0]), FloatText(t[1]), FloatText(t[2]), FloatText(t[3])}, 12));
}

std::string PowerRows(const Reading<QLXSWPowerStatus>& r) {
    std::string out = std::string("  Power connectors, in ") + kControllerUnits + "\n" +
                      Row("channel", Columns({"ch1", "ch2", "ch3", "ch4", "ch5", "ch6"}, 12));
    if (!r.valid) return out + Row("readings", NotGiven(ModuleExport::GetPowerStatus, r.code));
    std::vector<std::string> cells;
    for (int i = 0; i < 6; ++i) cells.push_back(FloatText(r.value.fValue[i]));
    return out + Row("readings", Columns(cells, 12)) + Row("total", FloatText(r.value.fTotal)) +
           Row("over limit", std::to_string(r.value.nOverLimit));
}

std::string MileageRows(const BoardSnapshot& b) {
    const Reading<int32_t>& state = b.recorderState;
    return std::string("  Usage time, in ") + kControllerUnits + "\n" +
           Row("counter", Columns({"first", "second", "third"}, 12)) +
           CounterRow("total", ModuleExport::GetMileageTotalTime, b.mileageTotal) +
           CounterRow("latest (since load)", ModuleExport::GetMileageLatestTime, b.mileageLatest) +
           CounterRow("manual (stopwatch)", ModuleExport::GetMileageLatestManual, b.mileageManual) +
           Row("recorder state",
               state.valid ? RecorderStateName(state.value) : NotGiven(ModuleExport::GetMileageStatus, state.code));
}

std::string AngleCells(const GSensorData& d) {
    return Columns({FloatText(d.fXsign), FloatText(d.fYsign), FloatText(d.fZsign)}, 12);
}

std::string TiltRows(const Reading<TiltReading>& r) {
    std::string out = "  Tilt\n" + Row("axis", Columns({"X", "Y", "Z"}, 12));
    if (!r.valid) return out + Row("readings", NotGiven(ModuleExport::Get_GSensor_Data, r.code));
    const GSensorData& raw = r.value.raw;
    return out +
           Row("raw (counts)", Columns({std::to_string(raw.iX), std::to_string(raw.iY), std::to_string(raw.iZ)}, 12)) +
           Row(std::string("angle (") + kDegrees + ")", AngleCells(raw)) +
           Row(std::string("filtered (") + kDegrees + ")", AngleCells(r.value.filtered)) +
           Row("status bits 5..0", StatusBitsText(raw));
}

}  // namespace

std::string RenderBoardTable(const BoardTarget& target, const BoardSnapshot& b) {
    return "\nBoard: " + BoardLabel(target) + "\n" + ControllerRows(b) + ThermalRows(b.thermal) + PowerRows(b.power) +
           MileageRows(b) + TiltRows(b.tilt);
}
