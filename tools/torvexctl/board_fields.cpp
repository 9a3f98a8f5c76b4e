#include "board_fields.h"

#include "board_text.h"
#include "code_meaning.h"
#include "number_text.h"

using json = nlohmann::ordered_json;

namespace {

class FieldList {
public:
    // Starts the group of one export's answer: its code, then what the code means.
    void Group(const std::string& group, ModuleExport call, int code) {
        m_prefix = group + ".";
        m_unit.clear();
        Add("code", code);
        Note("meaning", CodeMeaning(call, code));
    }
    // The values added next are in `unit`; the group (or its part `part`) says so once.
    void Unit(const std::string& part, const std::string& unit) {
        Note(part + "unit", unit);
        m_unit = unit;
    }
    void NoUnit() { m_unit.clear(); }
    void Add(const std::string& name, json value) { m_fields.push_back({m_prefix + name, m_unit, std::move(value)}); }
    // `value` when the export wrote it, else null.
    template <typename T>
    void Add(const std::string& name, bool written, const T& value) {
        Add(name, written ? json(value) : json(nullptr));
    }
    std::vector<BoardField> Take() { return std::move(m_fields); }

private:
    void Note(const std::string& name, json value) {
        m_fields.push_back({m_prefix + name, "", std::move(value), false});
    }

    std::vector<BoardField> m_fields;
    std::string m_prefix;
    std::string m_unit;
};

void AddCounters(FieldList& list, const std::string& group, ModuleExport call, const Reading<Counters>& r) {
    list.Group(group, call, r.code);
    list.Unit("", kControllerUnits);
    const char* const names[] = {"first", "second", "third"};
    for (int i = 0; i < 3; ++i) list.Add(names[i], r.valid, r.value[i]);
}

const char* const kAxes[] = {"x", "y", "z"};

void AddAngles(FieldList& list, const std::string& part, bool written, const GSensorData& d) {
    list.Unit(part + ".", kDegrees);
    const float angles[] = {d.fXsign, d.fYsign, d.fZsign};
    for (int i = 0; i < 3; ++i) list.Add(part + "." + kAxes[i], written ? FloatJson(angles[i]) : json(nullptr));
}

}  // namespace

std::vector<BoardField> BoardFields(const BoardTarget& target, const BoardSnapshot& s) {
    FieldList list;
    list.Add("requested_id", target.gpuId);
    list.Add("fallback", target.fallback);
    list.Add("gpu.index", target.gpu.index);
    list.Add("gpu.vendor", target.gpu.vendor);
    list.Add("gpu.bus", target.gpu.bus);

    const Reading<FunctionSupport>& f = s.functions;
    list.Group("function_support", ModuleExport::Check_Function_Support, f.code);
    list.Add("firmware_version", f.valid, FirmwareVersionText(f.value.nVersion));
    list.Add("capabilities", f.valid, CapabilitiesText(f.value.nFunction));
    list.Add("capability_names", f.valid, CapabilityNamesText(f.value.nFunction));

    list.Group("controller", ModuleExport::Check_MTPD_Support, s.controller.code);
    list.Add("supported", s.controller.valid, s.controller.value);
    list.Group("tilt_sensor", ModuleExport::Check_GSensor_Support, s.tiltPresent.code);
    list.Add("present", s.tiltPresent.valid, s.tiltPresent.value);

    // A temperature the module left unwritten is NaN in the snapshot, and null here.
    list.Group("thermal_map", ModuleExport::GetThermalMap, s.thermal.code);
    list.Unit("", kCelsius);
    for (int i = 0; i < 4; ++i)
        list.Add("t" + std::to_string(i + 1), s.thermal.valid ? FloatJson(s.thermal.value.fValue[i]) : json(nullptr));

    const Reading<QLXSWPowerStatus>& p = s.power;
    list.Group("power", ModuleExport::GetPowerStatus, p.code);
    list.Unit("", kControllerUnits);
    for (int i = 0; i < 6; ++i)
        list.Add("ch" + std::to_string(i + 1), p.valid ? FloatJson(p.value.fValue[i]) : json(nullptr));
    list.Add("total", p.valid ? FloatJson(p.value.fTotal) : json(nullptr));
    list.NoUnit();
    list.Add("over_limit", p.valid, p.value.nOverLimit);

    AddCounters(list, "mileage.total", ModuleExport::GetMileageTotalTime, s.mileageTotal);
    AddCounters(list, "mileage.latest", ModuleExport::GetMileageLatestTime, s.mileageLatest);
    AddCounters(list, "mileage.manual", ModuleExport::GetMileageLatestManual, s.mileageManual);
    list.Group("mileage.recorder", ModuleExport::GetMileageStatus, s.recorderState.code);
    list.Add("state", s.recorderState.valid, RecorderStateName(s.recorderState.value));

    const Reading<TiltReading>& t = s.tilt;
    list.Group("tilt", ModuleExport::Get_GSensor_Data, t.code);
    list.Unit("raw.", "counts");
    const int16_t raw[] = {t.value.raw.iX, t.value.raw.iY, t.value.raw.iZ};
    for (int i = 0; i < 3; ++i) list.Add(std::string("raw.") + kAxes[i], t.valid, raw[i]);
    AddAngles(list, "angle", t.valid, t.value.raw);
    AddAngles(list, "filtered", t.valid, t.value.filtered);
    list.NoUnit();
    list.Add("status_bits", t.valid, StatusBitsText(t.value.raw));
    return list.Take();
}

std::vector<std::string> BoardFieldNames() {
    std::vector<std::string> names;
    for (const BoardField& field : BoardFields(BoardTarget{}, BoardSnapshot{})) names.push_back(field.name);
    return names;
}

json NestedJson(const std::vector<BoardField>& fields) {
    json root = json::object();
    for (const BoardField& field : fields) {
        json* node = &root;
        size_t start = 0;
        for (size_t dot; (dot = field.name.find('.', start)) != std::string::npos; start = dot + 1)
            node = &(*node)[field.name.substr(start, dot - start)];
        (*node)[field.name.substr(start)] = field.value;
    }
    return root;
}
