#include "render_table.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "board_text.h"

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    return text;
}

std::string Refused(int code) { return Format("n/a (%d)", code); }

// Label in a fixed column, then the value.
std::string Row(const char* label, const std::string& value) { return Format("    %-22s", label) + value + "\n"; }

std::string Section(const char* title, const std::string& columns = {}) {
    return columns.empty() ? Format("  %s\n", title) : Format("  %-24s", title) + columns + "\n";
}

std::string Columns(const std::vector<std::string>& cells, int width) {
    std::string line;
    for (const std::string& cell : cells) line += Format("%-*s", width, cell.c_str());
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
}

std::string Temperature(float value) { return std::isnan(value) ? "-" : Format("%.1f", value); }

std::string CounterRow(const char* label, const Reading<Counters>& r) {
    if (!r.valid) return Row(label, Refused(r.code));
    return Row(label,
               Columns({std::to_string(r.value[0]), std::to_string(r.value[1]), std::to_string(r.value[2])}, 12));
}

std::string FunctionRows(const Reading<FunctionSupport>& r) {
    if (!r.valid) return Row("firmware version", Refused(r.code)) + Row("capabilities", Refused(r.code));
    std::string names;
    for (const std::string& name : CapabilityNames(r.value.nFunction)) names += (names.empty() ? "" : ", ") + name;
    return Row("firmware version", Format("0x%04X", static_cast<unsigned>(r.value.nVersion))) +
           Row("capabilities",
               Format("0x%X", static_cast<unsigned>(r.value.nFunction)) + (names.empty() ? "" : "  " + names));
}

// The controller check passes for firmware 0x500 or later. It answers -1 both for older firmware
// and for no board; a board was found by the time a table is drawn.
std::string ControllerRow(const Reading<bool>& r) {
    if (r.code == 0) return Row("controller check", r.value ? "supported" : "not supported");
    if (r.code == -1) return Row("controller check", "not supported (-1)");
    return Row("controller check", Refused(r.code));
}

std::string TiltPresentRow(const Reading<bool>& r) {
    return Row("tilt sensor", r.valid ? (r.value ? "present" : "absent") : Refused(r.code));
}

std::string ThermalRows(const Reading<ThermalMap>& r) {
    std::string out = Section("Thermal map", Columns({"T1", "T2", "T3", "T4"}, 10));
    if (!r.valid) return out + Row("temperatures", Refused(r.code));
    const float* t = r.value.fValue;
    return out + Row("temperatures",
                     Columns({Temperature(t[0]), Temperature(t[1]), Temperature(t[2]), Temperature(t[3])}, 10));
}

std::string PowerRows(const Reading<QLXSWPowerStatus>& r) {
    std::string out = Section("Power connectors", Columns({"ch1", "ch2", "ch3", "ch4", "ch5", "ch6"}, 9));
    if (!r.valid)
        return out + Row("readings", Refused(r.code)) + Row("total", Refused(r.code)) +
               Row("over limit", Refused(r.code));
    std::vector<std::string> cells;
    for (int i = 0; i < 6; ++i) cells.push_back(Format("%.3f", r.value.fValue[i]));
    return out + Row("readings", Columns(cells, 9)) + Row("total", Format("%.3f", r.value.fTotal)) +
           Row("over limit", std::to_string(r.value.nOverLimit));
}

std::string MileageRows(const BoardSnapshot& b) {
    return Section("Usage time", Columns({"first", "second", "third"}, 12)) + CounterRow("total", b.mileageTotal) +
           CounterRow("latest (since load)", b.mileageLatest) + CounterRow("manual (stopwatch)", b.mileageManual) +
           Row("recorder state",
               b.recorderState.valid ? RecorderStateName(b.recorderState.value) : Refused(b.recorderState.code));
}

std::string AngleCells(const GSensorData& d) {
    return Columns({Format("%.2f", d.fXsign), Format("%.2f", d.fYsign), Format("%.2f", d.fZsign)}, 10);
}

std::string TiltRows(const Reading<TiltReading>& r) {
    std::string out = Section("Tilt", Columns({"X", "Y", "Z"}, 10));
    if (!r.valid)
        return out + Row("raw", Refused(r.code)) + Row("angle (deg)", Refused(r.code)) +
               Row("filtered (deg)", Refused(r.code));
    const GSensorData& raw = r.value.raw;
    const int32_t bits[] = {raw.nStatus5, raw.nStatus4, raw.nStatus3, raw.nStatus2, raw.nStatus1, raw.nStatus0};
    std::string status;
    for (int32_t bit : bits) status += bit ? '1' : '0';
    return out + Row("raw", Columns({std::to_string(raw.iX), std::to_string(raw.iY), std::to_string(raw.iZ)}, 10)) +
           Row("angle (deg)", AngleCells(raw)) + Row("filtered (deg)", AngleCells(r.value.filtered)) +
           Row("status bits 5..0", status);
}

}  // namespace

std::string RenderHeader(const std::string& modulePath, const std::vector<int>& gpuIds) {
    std::string out = "TorvexModule: " + modulePath + "\n";
    bool anyFirst = false;
    for (int id : gpuIds) anyFirst |= id == kFirstBoard;
    if (anyFirst) {
        out += "The module cannot list its boards; without --gpu the board shown is the module's first one.\n";
    } else {
        out += "Boards named by PCI bus number; a number that matches no board shows the first board instead.\n";
    }
    return out;
}

std::string RenderBoardTable(const BoardSnapshot& b) {
    std::string out = "\nBoard: " + BoardLabel(b.gpuId) + Format(" (GPU id %d)\n", b.gpuId);
    out +=
        Section("Controller") + FunctionRows(b.functions) + ControllerRow(b.controller) + TiltPresentRow(b.tiltPresent);
    out += ThermalRows(b.thermal) + PowerRows(b.power) + MileageRows(b) + TiltRows(b.tilt);
    return out;
}
