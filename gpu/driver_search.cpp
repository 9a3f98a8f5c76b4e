#include "gpu/driver_search.h"

#include <algorithm>
#include <initializer_list>

#include "gpu/driver_paths.h"

namespace {

constexpr wchar_t kClassKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Class\\";
constexpr const wchar_t* kKhronosKeys[] = {L"SOFTWARE\\Khronos\\Vulkan\\Drivers",
                                           L"SOFTWARE\\Khronos\\OpenCL\\Vendors"};

// The driver key's value names; a 32-bit process on 64-bit Windows reads the "Wow" ones, which
// name the 32-bit libraries.
struct DriverKeyValueNames {
    std::initializer_list<const wchar_t*> drivers;
    const wchar_t* supportModules;
};
const DriverKeyValueNames kNativeValueNames{
    {L"UserModeDriverName", L"OpenGLDriverName", L"UserModeDListDriverName"}, L"DriverSupportModules"};
const DriverKeyValueNames kWow64ValueNames{
    {L"UserModeDriverNameWow", L"OpenGLDriverNameWow", L"UserModeDListDriverNameWow"}, L"DriverSupportModulesWow"};

// The first NVIDIA display adapter, enumerated once per search however often it is needed.
class NvidiaAdapter {
public:
    explicit NvidiaAdapter(DriverSystem& system) : m_system(system) {}
    const std::optional<DisplayAdapter>& Get() {
        if (!m_enumerated) {
            m_adapter = m_system.FirstDisplayAdapter(NamesNvidiaDevice);
            m_enumerated = true;
        }
        return m_adapter;
    }

private:
    DriverSystem& m_system;
    bool m_enumerated = false;
    std::optional<DisplayAdapter> m_adapter;
};

void SetFound(RegistrationSearch& search, RegistrationPlace place, const std::wstring& key, const std::wstring& value,
              const std::wstring& entry) {
    search.outcome = RegistrationOutcome::Found;
    search.error = 0;
    search.place = place;
    search.key = key;
    search.value = value;
    search.entry = entry;
}

// Searches the texts of some values of one key, in order. A value of the wrong type is skipped and
// sets error 13, which ends the search after this place unless a later value here matches.
bool SearchValueTexts(DriverSystem& system, RegistrationSearch& search, RegistrationPlace place,
                      const std::wstring& key, std::initializer_list<const wchar_t*> valueNames,
                      const std::wstring& name) {
    for (const wchar_t* valueName : valueNames) {
        const std::optional<RegistryValue> value = system.ReadMachineValue(key, valueName);
        if (!value) continue;
        const std::optional<std::vector<std::wstring>> texts = RegistryTexts(*value);
        if (!texts) {
            search.skipped.push_back({key, valueName, value->type});
            search.outcome = RegistrationOutcome::WrongValueType;
            search.error = kErrorInvalidData;
            continue;
        }
        for (const std::wstring& entry : *texts) {
            if (!MatchesDriverName(entry, name)) continue;
            SetFound(search, place, key, valueName, entry);
            return true;
        }
    }
    return false;
}

bool SearchValueNames(DriverSystem& system, RegistrationSearch& search, const std::wstring& name) {
    for (const wchar_t* key : kKhronosKeys) {
        for (const std::wstring& entry : system.MachineValueNames(key)) {
            if (!MatchesDriverName(entry, name)) continue;
            SetFound(search, RegistrationPlace::KhronosValueNames, key, std::wstring(), entry);
            return true;
        }
    }
    return false;
}

RegistrationSearch FindInDriverRegistrations(DriverSystem& system, SystemFacts& facts, NvidiaAdapter& adapter,
                                             const std::wstring& name) {
    RegistrationSearch search;
    const std::optional<bool> wow64 = facts.Wow64();
    if (!wow64) {
        search.outcome = RegistrationOutcome::Wow64Unknown;
        return search;
    }
    if (!adapter.Get()) {
        search.outcome = RegistrationOutcome::NoNvidiaAdapter;
        return search;
    }
    search.adapterPath = adapter.Get()->interfacePath;
    const std::optional<std::wstring>& driverKey = adapter.Get()->driverKey;
    if (!driverKey || driverKey->empty()) {
        search.outcome = RegistrationOutcome::NoDriverKey;
        return search;
    }
    search.driverKey = kClassKey + *driverKey;
    const DriverKeyValueNames& names = *wow64 ? kWow64ValueNames : kNativeValueNames;
    if (SearchValueTexts(system, search, RegistrationPlace::DriverKeyValues, search.driverKey, names.drivers, name))
        return search;
    if (search.error != kErrorModNotFound) return search;
    if (SearchValueNames(system, search, name)) return search;
    SearchValueTexts(system, search, RegistrationPlace::DriverSupportModules, search.driverKey,
                     {names.supportModules}, name);
    return search;
}

// The library beside the NVIDIA driver's INF file in the driver store.
void FindInDriverStore(DriverSystem& system, NvidiaAdapter& adapter, const std::wstring& name,
                       DriverPathSearch& search) {
    if (!adapter.Get()) {
        search.store = DriverStoreOutcome::NoNvidiaAdapter;
        return;
    }
    const std::optional<std::wstring>& inf = adapter.Get()->driverInf;
    if (!inf || inf->empty()) {
        search.store = DriverStoreOutcome::NoDriverInf;
        return;
    }
    search.driverInf = *inf;
    const std::optional<std::wstring> storedInf = system.DriverStoreInfPath(*inf);
    const std::wstring folder = storedInf ? FolderPart(*storedInf) : std::wstring();
    if (folder.empty()) {
        search.store = DriverStoreOutcome::NoStoreLocation;
        return;
    }
    search.storeCandidate = folder + name;
    const std::optional<uint32_t> attributes = system.FileAttributes(search.storeCandidate);
    if (!attributes || (*attributes & (kFileAttributeDirectory | kFileAttributeDevice)) != 0) {
        search.store = DriverStoreOutcome::NoFile;
        return;
    }
    search.store = DriverStoreOutcome::Found;
    search.road = DriverRoad::DriverStore;
    search.path = search.storeCandidate;
    search.error = 0;
}

DriverPathSearch FindDriverLibraryPath(DriverSystem& system, SystemFacts& facts, const std::wstring& name) {
    DriverPathSearch search;
    NvidiaAdapter adapter(system);
    search.registrations = FindInDriverRegistrations(system, facts, adapter, name);
    const RegistrationSearch& registered = search.registrations;
    if (registered.outcome == RegistrationOutcome::Found) {
        const std::optional<std::wstring> path = RegisteredEntryPath(registered.entry, system.SystemDirectory());
        if (path) {
            search.road = DriverRoad::Registration;
            search.path = *path;
            search.error = 0;
        } else {
            search.entryDropped = true;
        }
        return search;
    }
    if (registered.error != kErrorModNotFound) {
        search.error = registered.error;
        return search;
    }
    FindInDriverStore(system, adapter, name, search);
    return search;
}

}  // namespace

DriverLibraryRoad DriverLibraryLoader::Plan(const std::wstring& name) {
    DriverLibraryRoad road;
    road.buildNumber = m_facts.BuildNumber();
    if (road.buildNumber >= kFirstRegisteringBuild && StartsWithIgnoringCase(name, L"nv")) {
        road.searched = true;
        road.search = FindDriverLibraryPath(m_system, m_facts, name);
        if (road.search.error == 0) {
            road.road = road.search.road;
            ApplyTrustedFolderRule(road, road.search.path);
            return road;
        }
        if (road.search.error != kErrorModNotFound) {
            road.error = road.search.error;
            return road;
        }
    }
    const std::wstring systemDirectory = m_system.SystemDirectory();
    if (systemDirectory.empty()) {
        road.error = kErrorModNotFound;
        return road;
    }
    road.road = DriverRoad::SystemDirectory;
    road.path = JoinPath(systemDirectory, name);
    return road;
}

void DriverLibraryLoader::ApplyTrustedFolderRule(DriverLibraryRoad& road, const std::wstring& path) {
    road.path = path;
    if (!IsAbsolutePath(path)) {
        road.error = kErrorBadArguments;
        return;
    }
    if (!m_facts.Windows7OrLater()) return;
    const std::optional<std::wstring> fullPath = m_system.FullPathName(path);
    if (!fullPath) {
        road.error = kErrorBadPathname;
        return;
    }
    road.path = *fullPath;
    road.trustedFolders = TrustedFolders();
    const bool trusted = std::any_of(road.trustedFolders.begin(), road.trustedFolders.end(),
                                     [&](const std::wstring& folder) { return IsInsideFolder(road.path, folder); });
    if (!trusted) road.error = kErrorBadPathname;
}

std::vector<std::wstring> DriverLibraryLoader::TrustedFolders() {
    // The native Program Files folder: a 32-bit process on 64-bit Windows is told the 32-bit one
    // when it asks for CSIDL_PROGRAM_FILES, so the environment is asked first.
    std::optional<std::wstring> nativeProgramFiles = m_system.EnvironmentVariable(L"ProgramW6432");
    if (!nativeProgramFiles || nativeProgramFiles->empty())
        nativeProgramFiles = m_system.FolderPath(KnownFolder::ProgramFiles);
    std::vector<std::wstring> folders;
    for (const std::wstring& folder : {m_system.FolderPath(KnownFolder::Windows), *nativeProgramFiles,
                                       m_system.FolderPath(KnownFolder::ProgramFilesX86)}) {
        if (folder.empty()) continue;  // an unknown folder trusts nothing
        const std::wstring withSeparator = JoinPath(folder, std::wstring());
        const auto same = [&](const std::wstring& listed) { return EqualIgnoringCase(listed, withSeparator); };
        // 32-bit Windows has one Program Files folder, which both names give.
        if (std::none_of(folders.begin(), folders.end(), same)) folders.push_back(withSeparator);
    }
    return folders;
}

DriverLibraryLoad DriverLibraryLoader::Load(const std::wstring& name) {
    DriverLibraryLoad load{nullptr, Plan(name)};
    if (load.road.error != 0) return load;
    const LoadedLibrary library = m_system.LoadLibraryFile(load.road.path);
    load.module = library.module;
    if (!library.module) load.road.error = library.error;
    return load;
}
