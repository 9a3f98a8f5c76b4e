// The driver-library search over a table of machines: Windows builds, WOW64, registrations in each
// place and form, the driver store, the trusted folders, names that match and names that almost do.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "gpu/driver_search.h"
#include "scripted_driver_system.h"

namespace {

const std::wstring kSystem32 = L"C:\\Windows\\system32\\";
const std::wstring kStore = L"C:\\Windows\\System32\\DriverStore\\FileRepository\\nv_dispi.inf_amd64_5f7a\\";
const std::wstring kProgramFiles = L"C:\\Program Files\\NVIDIA Corporation\\NVAPI\\";
const std::wstring kDriverKey = L"{4d36e968-e325-11ce-bfc1-08002be10318}\\0001";
const std::wstring kRegisteredKey = L"SYSTEM\\CurrentControlSet\\Control\\Class\\" + kDriverKey;
const std::wstring kVulkan = L"SOFTWARE\\Khronos\\Vulkan\\Drivers";
const std::wstring kOpenCl = L"SOFTWARE\\Khronos\\OpenCL\\Vendors";
const std::wstring kNvidiaAdapter =
    L"\\\\?\\PCI#VEN_10DE&DEV_2684&SUBSYS_16F310DE&REV_A1#4&2c1c6b2&0&0019#{1ca05180-a699-450a-9a0c-de4fbe3ddd89}";
const std::wstring kIntelAdapter =
    L"\\\\?\\PCI#VEN_8086&DEV_A780&SUBSYS_7D751462&REV_04#3&11583659&0&10#{1ca05180-a699-450a-9a0c-de4fbe3ddd89}";
constexpr uint32_t kRegDword = 4;

// A 32-bit process on 64-bit Windows 11 with one NVIDIA card whose driver sits in the driver
// store and registers nothing yet: each machine adds what it is about.
void Windows11Wow64(ScriptedDriverSystem& m) {
    m.SetBuild(L"22631");
    m.wow64 = true;
    m.environment[L"ProgramW6432"] = L"C:\\Program Files";
    m.folders[KnownFolder::ProgramFiles] = L"C:\\Program Files (x86)";  // what a 32-bit process is told
    m.adapters = {{kNvidiaAdapter, kDriverKey, L"oem42.inf"}};
    m.driverStore[L"oem42.inf"] = kStore + L"nv_dispi.inf";
    m.files[kStore + L"nvapi.dll"] = 0x20;
}

using Step = std::function<void(ScriptedDriverSystem&)>;

Step Build(const wchar_t* build) {
    return [build](ScriptedDriverSystem& m) { m.SetBuild(build); };
}
// Entries in one value of the NVIDIA driver key.
Step Registered(const wchar_t* value, const std::vector<std::wstring>& entries) {
    return [=](ScriptedDriverSystem& m) { m.SetTextList(kRegisteredKey, value, entries); };
}
// The value a 32-bit process on 64-bit Windows reads first.
Step Wow(const std::vector<std::wstring>& entries) { return Registered(L"UserModeDriverNameWow", entries); }
// A value of the NVIDIA driver key that holds a number.
Step Number(const wchar_t* value) {
    return [value](ScriptedDriverSystem& m) { m.SetValue(kRegisteredKey, value, kRegDword, {1, 0, 0, 0}); };
}
// A value name in a Khronos key.
Step Khronos(const std::wstring& key, const std::wstring& name) {
    return [=](ScriptedDriverSystem& m) { m.SetValue(key, name, kRegDword, {0, 0, 0, 0}); };
}
const Step kSupportModule = Registered(L"DriverSupportModulesWow", {kProgramFiles + L"nvapi.dll"});

using Reg = RegistrationOutcome;
using Store = DriverStoreOutcome;

struct Machine {
    const char* title;
    std::vector<Step> setUp;  // on top of Windows11Wow64
    DriverRoad road;
    std::wstring path;  // the file the road leads to
    uint32_t error;     // 0: loaded from `path`, and only from there; else the road's refusal or failed load
    Reg registered;     // what the registrations' search found (NotRegistered also when not searched)
    Store store;        // and the driver store's
    std::function<void(const DriverLibraryRoad&, const ScriptedDriverSystem&)> more = nullptr;
    std::wstring name = L"nvapi.dll";
};

std::ostream& operator<<(std::ostream& out, const Machine& m) { return out << m.title; }

constexpr DriverRoad kNone = DriverRoad::None, kSystem = DriverRoad::SystemDirectory,
                     kRegistered = DriverRoad::Registration, kStoreRoad = DriverRoad::DriverStore;

const std::vector<Machine> kMachines = {
    // The build number and the name decide whether the registrations are searched at all; a build
    // below 14308 costs one registry read and nothing else.
    {"Windows10Build14307", {Build(L"14307"), Wow({kStore + L"nvapi.dll"})}, kSystem, kSystem32 + L"nvapi.dll", 0,
     Reg::NotRegistered, Store::NotTried,
     [](const auto& r, const auto& m) {
         EXPECT_FALSE(r.searched);
         EXPECT_EQ(1, m.registryReads + m.adapterEnumerations + m.wow64Asks);
     }},
    {"Windows10Build14308", {Build(L"14308"), Wow({kStore + L"nvapi.dll"})}, kRegistered, kStore + L"nvapi.dll", 0,
     Reg::Found, Store::NotTried},
    {"NameNotBeginningWithNv", {Wow({kStore + L"atiadlxy.dll"})}, kSystem, kSystem32 + L"atiadlxy.dll", 0,
     Reg::NotRegistered, Store::NotTried, {}, L"atiadlxy.dll"},
    {"NvGateIgnoresCase", {Wow({kStore + L"nvapi.dll"})}, kRegistered, kStore + L"nvapi.dll", 0, Reg::Found,
     Store::NotTried, {}, L"NVAPI.DLL"},

    // A 32-bit process on 64-bit Windows reads the "Wow" values, any other process the plain ones;
    // every driver value is searched, entry by entry.
    {"Wow64ReadsTheWowValues",
     {Registered(L"UserModeDriverName", {kStore + L"x64\\nvapi.dll"}),
      Wow({kStore + L"nvldumd.dll", kStore + L"nvapi.dll"})},
     kRegistered, kStore + L"nvapi.dll", 0, Reg::Found, Store::NotTried},
    {"NativeProcessReadsThePlainValues",
     {[](auto& m) { m.wow64 = false; }, Registered(L"UserModeDriverName", {kStore + L"x86\\nvapi.dll"}),
      Wow({kStore + L"nvapi.dll"})},
     kRegistered, kStore + L"x86\\nvapi.dll", 0, Reg::Found, Store::NotTried},
    // A failed load of the registered file is the answer, without a fall-back.
    {"FailedLoadOfTheRegisteredFile",
     {Wow({kStore + L"nvapi.dll"}), [](auto& m) { m.failingLoads[kStore + L"nvapi.dll"] = 193; }}, kRegistered,
     kStore + L"nvapi.dll", 193, Reg::Found, Store::NotTried},
    {"OtherRelativeFormIsDropped", {Wow({L"SysWOW64\\nvapi.dll"})}, kSystem, kSystem32 + L"nvapi.dll", 0, Reg::Found,
     Store::NotTried, [](const auto& r, const auto&) { EXPECT_TRUE(r.search.entryDropped); }},

    // Only the Windows folder and the two Program Files folders are trusted, as full paths (the
    // native Program Files folder from the environment: see SupportModules).
    {"ProgramW6432Unset", {[](auto& m) { m.environment.clear(); }, Wow({kProgramFiles + L"nvapi.dll"})},
     kRegistered, kProgramFiles + L"nvapi.dll", kErrorBadPathname, Reg::Found, Store::NotTried,
     [](const auto& r, const auto&) {
         EXPECT_EQ((std::vector<std::wstring>{L"C:\\Windows\\", L"C:\\Program Files (x86)\\"}), r.trustedFolders);
     }},
    {"DotDotOutOfTheWindowsFolder",
     {Wow({L"C:\\Windows\\..\\Users\\Public\\nvapi.dll"}),
      [](auto& m) { m.fullPaths[L"C:\\Windows\\..\\Users\\Public\\nvapi.dll"] = L"C:\\Users\\Public\\nvapi.dll"; }},
     kRegistered, L"C:\\Users\\Public\\nvapi.dll", kErrorBadPathname, Reg::Found, Store::NotTried},
    {"UnknownWindowsFolderAdmitsNoNetworkPath",
     {[](auto& m) { m.folders[KnownFolder::Windows] = L""; }, Wow({L"\\\\fileserver\\drivers\\nvapi.dll"})},
     kRegistered, L"\\\\fileserver\\drivers\\nvapi.dll", kErrorBadPathname, Reg::Found, Store::NotTried},
    {"OlderThanWindows7TakesAnyAbsolutePath",
     {[](auto& m) { m.windows7OrLater = false; }, Wow({L"D:\\Drivers\\nvapi.dll"})}, kRegistered,
     L"D:\\Drivers\\nvapi.dll", 0, Reg::Found, Store::NotTried,
     [](const auto& r, const auto&) { EXPECT_TRUE(r.trustedFolders.empty()); }},

    // The places, in their order: driver values, Vulkan names, OpenCL names, support modules.
    {"VulkanValueNames",
     {Khronos(kVulkan, kStore + L"nv-vk32.json"), Khronos(kVulkan, kStore + L"nvapi.dll"),
      Khronos(kOpenCl, L"nvapi.dll")},
     kRegistered, kStore + L"nvapi.dll", 0, Reg::Found, Store::NotTried},
    // A bare name lies in the system directory.
    {"DriverKeyBeforeKhronos",
     {kSupportModule, Khronos(kVulkan, kStore + L"nvapi.dll"), Registered(L"UserModeDListDriverNameWow", {L"nvapi.dll"})},
     kRegistered, kSystem32 + L"nvapi.dll", 0, Reg::Found, Store::NotTried},
    {"KhronosBeforeSupportModules", {kSupportModule, Khronos(kOpenCl, kStore + L"nvapi.dll")}, kRegistered,
     kStore + L"nvapi.dll", 0, Reg::Found, Store::NotTried},
    {"SupportModules", {kSupportModule}, kRegistered, kProgramFiles + L"nvapi.dll", 0, Reg::Found, Store::NotTried},

    // A value of another type than text or text list stops the search after its place.
    {"NumberValueStopsTheSearch", {Number(L"UserModeDriverNameWow"), Khronos(kVulkan, kStore + L"nvapi.dll")}, kNone,
     L"", kErrorInvalidData, Reg::WrongValueType, Store::NotTried,
     [](const auto& r, const auto&) { EXPECT_EQ(kRegDword, r.search.registrations.skipped.at(0).type); }},

    // The display adapters: an NVIDIA one is searched; one enumeration serves both places.
    {"NoNvidiaAdapter",
     {[](auto& m) {
         m.adapters = {{kIntelAdapter, L"{4d36e968-e325-11ce-bfc1-08002be10318}\\0000", L"oem7.inf"}};
         m.driverStore[L"oem7.inf"] = kStore + L"nv_dispi.inf";
     }},
     kSystem, kSystem32 + L"nvapi.dll", 0, Reg::NoNvidiaAdapter, Store::NoNvidiaAdapter},
    {"FirstOfTwoNvidiaAdapters",
     {[](auto& m) {
          const std::wstring second = L"{4d36e968-e325-11ce-bfc1-08002be10318}\\0002";
          m.adapters = {{kIntelAdapter, L"{4d36e968-e325-11ce-bfc1-08002be10318}\\0000", std::nullopt},
                        {L"\\\\?\\pci#ven_10de&dev_1e84#1#{1ca05180-a699-450a-9a0c-de4fbe3ddd89}", kDriverKey,
                         std::nullopt},
                        {kNvidiaAdapter, second, std::nullopt}};
          m.SetTextList(L"SYSTEM\\CurrentControlSet\\Control\\Class\\" + second, L"UserModeDriverNameWow",
                        {kProgramFiles + L"nvapi.dll"});
      },
      Wow({kStore + L"nvapi.dll"})},
     kRegistered, kStore + L"nvapi.dll", 0, Reg::Found, Store::NotTried},
    {"AdapterWithoutDriverKeyStillHasTheStore", {[](auto& m) { m.adapters[0].driverKey.reset(); }}, kStoreRoad,
     kStore + L"nvapi.dll", 0, Reg::NoDriverKey, Store::Found},
    {"Wow64UnknownStillHasTheStore", {[](auto& m) { m.wow64.reset(); }}, kStoreRoad, kStore + L"nvapi.dll", 0,
     Reg::Wow64Unknown, Store::Found},

    // The driver store, beside the INF file of the NVIDIA driver.
    {"DriverStore", {}, kStoreRoad, kStore + L"nvapi.dll", 0, Reg::NotRegistered, Store::Found,
     [](const auto&, const auto& m) { EXPECT_EQ(1, m.adapterEnumerations); }},
    {"DirectoryInTheDriverStore", {[](auto& m) { m.files[kStore + L"nvapi.dll"] = 0x10; }}, kSystem,
     kSystem32 + L"nvapi.dll", 0, Reg::NotRegistered, Store::NoFile},
    {"DeviceInTheDriverStore", {[](auto& m) { m.files[kStore + L"nvapi.dll"] = 0x40; }}, kSystem,
     kSystem32 + L"nvapi.dll", 0, Reg::NotRegistered, Store::NoFile},
    {"DriverStoreGivesARelativeFolder",
     {[](auto& m) {
         m.driverStore[L"oem42.inf"] = L"FileRepository\\nv_dispi.inf_amd64_5f7a\\nv_dispi.inf";
         m.files[L"FileRepository\\nv_dispi.inf_amd64_5f7a\\nvapi.dll"] = 0x20;
     }},
     kStoreRoad, L"FileRepository\\nv_dispi.inf_amd64_5f7a\\nvapi.dll", kErrorBadArguments, Reg::NotRegistered,
     Store::Found},
};

// A machine of the table, and a loader on it.
class DriverSearchMachines : public ::testing::TestWithParam<Machine> {
protected:
    DriverSearchMachines() { Windows11Wow64(system); }
    ScriptedDriverSystem system;
    SystemFacts facts{system};
    DriverLibraryLoader loader{system, facts};
};

TEST_P(DriverSearchMachines, TakeTheirRoad) {
    const Machine& machine = GetParam();
    for (const Step& step : machine.setUp) step(system);
    const DriverLibraryLoad load = loader.Load(machine.name);

    EXPECT_EQ(machine.road, load.road.road);
    EXPECT_EQ(machine.path, load.road.path);
    EXPECT_EQ(machine.error, load.road.error);
    EXPECT_EQ(machine.registered, load.road.search.registrations.outcome);
    EXPECT_EQ(machine.store, load.road.search.store);
    EXPECT_EQ(machine.error == 0, load.module != nullptr);
    const bool tried = machine.error == 0 || system.failingLoads.count(machine.path) > 0;
    EXPECT_EQ(tried ? std::vector<std::wstring>{machine.path} : std::vector<std::wstring>{}, system.loads)
        << "a refused road loads nothing, not even from the system directory";
    if (machine.more) machine.more(load.road, system);
}

INSTANTIATE_TEST_SUITE_P(Table, DriverSearchMachines, ::testing::ValuesIn(kMachines),
                         [](const auto& info) { return std::string(info.param.title); });

// The build number is read again while it reads 0 (no value, not a text), then kept;
// WOW64 and the version are asked once even when unknown, however many threads ask.
TEST(SystemFacts, AreAskedUntilKnownThenKeptWhicheverThreadAsks) {
    ScriptedDriverSystem system;
    system.wow64.reset();
    SystemFacts facts(system);
    EXPECT_EQ(0u, facts.BuildNumber());
    // A list of texts is not a text, although its first one is digits.
    system.SetValue(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"CurrentBuildNumber", kRegTextList,
                    Utf16Bytes(std::wstring(L"19045\0", 6)));
    EXPECT_EQ(0u, facts.BuildNumber());
    system.SetBuild(L"19045");
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&] {
            for (int j = 0; j < 100; ++j) {
                EXPECT_FALSE(facts.Wow64().has_value());
                EXPECT_TRUE(facts.Windows7OrLater());
                EXPECT_EQ(19045u, facts.BuildNumber());
            }
        });
    }
    for (std::thread& t : threads) t.join();
    system.SetBuild(L"22631");
    EXPECT_EQ(19045u, facts.BuildNumber());
    EXPECT_EQ(3, system.registryReads);
    EXPECT_EQ(1, system.wow64Asks);
    EXPECT_EQ(1, system.versionChecks);
}

}  // namespace
