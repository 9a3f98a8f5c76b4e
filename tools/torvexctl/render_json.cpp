#include "render_json.h"

#include "board_text.h"

// Keys keep the order written here, which reads like the table.
using json = nlohmann::ordered_json;

namespace {

json Floats(const float* values, int count) {
    json list = json::array();
    for (int i = 0; i < count; ++i) list.push_back(ShortestDouble(values[i]));
    return list;
}

json Angles(const GSensorData& d) {
    const float angles[] = {d.fXsign, d.fYsign, d.fZsign};
    return Floats(angles, 3);
}

json CountersJson(const Reading<Counters>& r) {
    return {{"code", r.code}, {"counters", r.valid ? json(r.value) : json(nullptr)}};
}

json FunctionsJson(const Reading<FunctionSupport>& r) {
    json j = {
        {"code", r.code}, {"capabilities", nullptr}, {"capability_names", nullptr}, {"firmware_version", nullptr}};
    if (r.valid) {
        j["capabilities"] = r.value.nFunction;
        j["capability_names"] = CapabilityNames(r.value.nFunction);
        j["firmware_version"] = r.value.nVersion;
    }
    return j;
}

json ThermalJson(const Reading<ThermalMap>& r) {
    // A temperature the module did not write is NaN here and becomes null.
    return {{"code", r.code}, {"temperatures", r.valid ? Floats(r.value.fValue, 4) : json(nullptr)}};
}

json PowerJson(const Reading<QLXSWPowerStatus>& r) {
    json j = {{"code", r.code}, {"channels", nullptr}, {"total", nullptr}, {"over_limit", nullptr}};
    if (r.valid) {
        j["channels"] = Floats(r.value.fValue, 6);
        j["total"] = ShortestDouble(r.value.fTotal);
        j["over_limit"] = r.value.nOverLimit;
    }
    return j;
}

json ControllerJson(const Reading<bool>& r) {
    // The check writes 0 before it refuses old firmware (-1); other refusals say nothing.
    json supported = r.code == 0 ? json(r.value) : r.code == -1 ? json(false) : json(nullptr);
    return {{"code", r.code}, {"supported", supported}};
}

json RecorderJson(const Reading<int32_t>& r) {
    return {{"code", r.code},
            {"value", r.valid ? json(r.value) : json(nullptr)},
            {"name", r.valid ? json(RecorderStateName(r.value)) : json(nullptr)}};
}

json TiltJson(const Reading<TiltReading>& r) {
    json j = {{"code", r.code},
              {"raw", nullptr},
              {"angles", nullptr},
              {"filtered_angles", nullptr},
              {"status_bits", nullptr}};
    if (r.valid) {
        const GSensorData& raw = r.value.raw;
        j["raw"] = {raw.iX, raw.iY, raw.iZ};
        j["angles"] = Angles(raw);
        j["filtered_angles"] = Angles(r.value.filtered);
        // Indexed by bit number: status_bits[0] is bit 0.
        j["status_bits"] = {raw.nStatus0, raw.nStatus1, raw.nStatus2, raw.nStatus3, raw.nStatus4, raw.nStatus5};
    }
    return j;
}

}  // namespace

json BoardToJson(const BoardSnapshot& b) {
    return {
        {"gpu_id", b.gpuId},
        {"label", BoardLabel(b.gpuId)},
        {"function_support", FunctionsJson(b.functions)},
        {"controller", ControllerJson(b.controller)},
        {"tilt_sensor",
         {{"code", b.tiltPresent.code}, {"present", b.tiltPresent.valid ? json(b.tiltPresent.value) : json(nullptr)}}},
        {"thermal_map", ThermalJson(b.thermal)},
        {"power", PowerJson(b.power)},
        {"mileage",
         {{"total", CountersJson(b.mileageTotal)},
          {"latest", CountersJson(b.mileageLatest)},
          {"manual", CountersJson(b.mileageManual)},
          {"state", RecorderJson(b.recorderState)}}},
        {"tilt", TiltJson(b.tilt)},
    };
}

json StatusToJson(const std::string& modulePath, const std::vector<BoardSnapshot>& boards) {
    json list = json::array();
    for (const BoardSnapshot& b : boards) list.push_back(BoardToJson(b));
    return {{"module", modulePath}, {"boards", list}};
}
