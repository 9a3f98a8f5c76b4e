#include "doctor_render.h"

#include <algorithm>

#include "gpu/driver_paths.h"
#include "module_exports.h"

using json = nlohmann::ordered_json;

namespace {

const char* RoadName(DriverRoad road) {
    switch (road) {
        case DriverRoad::None: return "none";
        case DriverRoad::SystemDirectory: return "system directory";
        case DriverRoad::Registration: return "registration";
        case DriverRoad::DriverStore: return "driver store";
    }
    return "?";
}

const char* OutcomeName(RegistrationOutcome outcome) {
    switch (outcome) {
        case RegistrationOutcome::Found: return "found";
        case RegistrationOutcome::NotRegistered: return "not registered";
        case RegistrationOutcome::WrongValueType: return "stopped at a value that is neither text nor text list";
        case RegistrationOutcome::Wow64Unknown: return "not searched: WOW64 unknown";
        case RegistrationOutcome::NoNvidiaAdapter: return "not searched: no NVIDIA display adapter";
        case RegistrationOutcome::NoDriverKey: return "not searched: the adapter has no driver key";
    }
    return "?";
}

const char* PlaceName(RegistrationPlace place) {
    switch (place) {
        case RegistrationPlace::DriverKeyValues: return "driver key values";
        case RegistrationPlace::KhronosValueNames: return "Khronos value names";
        case RegistrationPlace::DriverSupportModules: return "driver support modules";
    }
    return "?";
}

const char* StoreOutcomeName(DriverStoreOutcome outcome) {
    switch (outcome) {
        case DriverStoreOutcome::NotTried: return "not asked";
        case DriverStoreOutcome::NoNvidiaAdapter: return "no NVIDIA display adapter";
        case DriverStoreOutcome::NoDriverInf: return "the adapter names no INF file";
        case DriverStoreOutcome::NoStoreLocation: return "the driver store does not know the INF file";
        case DriverStoreOutcome::NoFile: return "no such file beside the INF file";
        case DriverStoreOutcome::Found: return "found";
    }
    return "?";
}

// Why a road leads to no load, in the module's own terms where it has them.
std::string ErrorText(uint32_t error) {
    switch (error) {
        case 0: return "";
        case kErrorInvalidData: return "a registry value is neither text nor text list";
        case kErrorModNotFound: return "not found";
        case kErrorBadArguments: return "the path is not absolute";
        case kErrorBadPathname: return "the path lies outside the trusted folders";
        default: return SystemMessage(error);
    }
}

std::string U8(const std::wstring& text) { return ToUtf8(text); }

json TextOrNull(const std::wstring& text) { return text.empty() ? json(nullptr) : json(U8(text)); }

bool LoadedAsSearched(const VendorLibraryOrigin& library) {
    return library.road && EqualIgnoringCase(library.road->path, library.loadedFrom);
}

std::string WhereFound(const RegistrationSearch& r) {
    if (r.value.empty()) return "a value name under HKLM\\" + U8(r.key);
    return "value \"" + U8(r.value) + "\" of the driver key";
}

json RegistrationsJson(const DriverPathSearch& search) {
    const RegistrationSearch& r = search.registrations;
    json skipped = json::array();
    for (const SkippedValue& value : r.skipped)
        skipped.push_back({{"key", U8(value.key)}, {"value", U8(value.name)}, {"type", value.type}});
    const bool found = r.outcome == RegistrationOutcome::Found;
    return {{"outcome", OutcomeName(r.outcome)},
            {"adapter", TextOrNull(r.adapterPath)},
            {"driver_key", TextOrNull(r.driverKey)},
            {"place", found ? json(PlaceName(r.place)) : json(nullptr)},
            {"key", TextOrNull(r.key)},
            {"value", TextOrNull(r.value)},
            {"entry", TextOrNull(r.entry)},
            {"entry_dropped", search.entryDropped},
            {"skipped", skipped}};
}

json RoadJson(const VendorLibraryOrigin& library) {
    const DriverLibraryRoad& road = *library.road;
    json j = {{"name", U8(library.name)}, {"searched", road.searched}};
    j["registrations"] = road.searched ? RegistrationsJson(road.search) : json(nullptr);
    j["driver_store"] = road.searched ? json{{"outcome", StoreOutcomeName(road.search.store)},
                                             {"inf", TextOrNull(road.search.driverInf)},
                                             {"candidate", TextOrNull(road.search.storeCandidate)}}
                                      : json(nullptr);
    j["road"] = RoadName(road.road);
    j["path"] = TextOrNull(road.path);
    json folders = json::array();
    for (const std::wstring& folder : road.trustedFolders) folders.push_back(U8(folder));
    j["trusted_folders"] = folders;
    j["error"] = road.error;
    j["error_text"] = ErrorText(road.error);
    j["loaded_from"] = TextOrNull(library.loadedFrom);
    j["loaded_as_searched"] = library.loadedFrom.empty() ? json(nullptr) : json(LoadedAsSearched(library));
    return j;
}

void Line(std::string& text, const char* label, const std::string& value) {
    std::string padded = std::string("  ") + label + ":";
    padded.resize(std::max<size_t>(padded.size() + 1, 20), ' ');
    text += padded + value + "\n";
}

void RoadText(std::string& text, const VendorLibraryOrigin& library) {
    const DriverLibraryRoad& road = *library.road;
    if (!road.searched) {
        Line(text, "search", "none: only builds from " + std::to_string(kFirstRegisteringBuild) +
                                 " on and names beginning with \"nv\" are searched");
    } else {
        Line(text, "search", "the NVIDIA display driver's registrations, then its driver store");
        const RegistrationSearch& r = road.search.registrations;
        if (!r.adapterPath.empty()) Line(text, "display adapter", U8(r.adapterPath));
        if (!r.driverKey.empty()) Line(text, "driver key", "HKLM\\" + U8(r.driverKey));
        for (const SkippedValue& value : r.skipped) {
            Line(text, "skipped value",
                 "HKLM\\" + U8(value.key) + " \"" + U8(value.name) + "\" of type " + std::to_string(value.type));
        }
        if (r.outcome == RegistrationOutcome::Found) {
            Line(text, "registered", U8(r.entry) + " (" + WhereFound(r) + ")");
            if (road.search.entryDropped) Line(text, "entry dropped", "its form names no folder to load from");
        } else {
            Line(text, "registrations", OutcomeName(r.outcome));
        }
        std::string store = StoreOutcomeName(road.search.store);
        if (!road.search.driverInf.empty()) store += " (INF file " + U8(road.search.driverInf) + ")";
        Line(text, "driver store", store);
        if (!road.search.storeCandidate.empty()) Line(text, "store candidate", U8(road.search.storeCandidate));
    }
    Line(text, "road", RoadName(road.road));
    if (!road.path.empty()) Line(text, "path", U8(road.path));
    if (!road.trustedFolders.empty()) {
        std::string folders;
        for (const std::wstring& folder : road.trustedFolders) folders += (folders.empty() ? "" : ", ") + U8(folder);
        Line(text, "trusted folders", folders);
    }
    if (road.error != 0) Line(text, "refused", std::to_string(road.error) + ", " + ErrorText(road.error));
}

}  // namespace

std::string RenderDoctorText(const DoctorReport& report) {
    std::string text = "TorvexModule: " + U8(report.modulePath) + "\n";
    if (!report.moduleError.empty()) text += "  not loaded: " + report.moduleError + "\n";
    if (report.benchScenario) text += "Bench scenario: " + *report.benchScenario + "\n";
    text += "Windows: build " + std::to_string(report.buildNumber) + ", ";
    text += report.wow64 ? (*report.wow64 ? "32-bit process on 64-bit Windows" : "not under WOW64") : "WOW64 unknown";
    text += report.windows7OrLater ? ", Windows 7 or later\n" : ", older than Windows 7\n";
    for (const VendorLibraryOrigin& library : report.libraries) {
        text += "\n" + U8(library.name) + "\n";
        if (library.road) {
            RoadText(text, library);
        } else {
            Line(text, "search", library.loaderSearch);
        }
        Line(text, "loaded from", library.loadedFrom.empty() ? "not loaded by the module" : U8(library.loadedFrom));
        if (!library.loadedFrom.empty() && library.road && !LoadedAsSearched(library))
            Line(text, "mismatch", "the module's process holds it from another path than the search names");
    }
    return text;
}

json DoctorToJson(const DoctorReport& report) {
    json libraries = json::array();
    for (const VendorLibraryOrigin& library : report.libraries) {
        if (library.road) {
            libraries.push_back(RoadJson(library));
        } else {
            libraries.push_back({{"name", U8(library.name)},
                                 {"loader_search", library.loaderSearch},
                                 {"loaded_from", TextOrNull(library.loadedFrom)}});
        }
    }
    return {{"module", U8(report.modulePath)},
            {"module_error", report.moduleError.empty() ? json(nullptr) : json(report.moduleError)},
            {"bench_scenario", report.benchScenario ? json(*report.benchScenario) : json(nullptr)},
            {"windows",
             {{"build", report.buildNumber},
              {"wow64", report.wow64 ? json(*report.wow64) : json(nullptr)},
              {"windows_7_or_later", report.windows7OrLater}}},
            {"libraries", libraries}};
}
