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
const std::wstring kClassKey = L"SYSTEM\\CurrentControlSet\\Control\\Class\\";
const std::wstring kDriverKey = L"{4d36e968-e325-11ce-bfc1-08002be10318}\\0001";
const std::wstring kVulkan = L"SOFTWARE\\Khronos\\Vulkan\\Drivers";
const std::wstring kOpenCl = L"SOFTWARE\\Khronos\\OpenCL\\Vendors";
const std::wstring kNvidiaAdapter =
    L"\\\\?\\PCI#VEN_10DE&DEV_2684&SUBSYS_16F310DE&REV_A1#4&2c1c6b2&0&0019#{1ca05180-a699-450a-9a0c-de4fbe3ddd89}";
const std::wstring kIntelAdapter =
    L"\\\\?\\PCI#VEN_8086&DEV_A780&SUBSYS_7D751462&REV_04#3&11583659&0&10#{1ca05180-a699-450a-9a0c-de4fbe3ddd89}";
constexpr uint32_t kRegExpandText = 2;
constexpr uint32_t kRegDword = 4;

// A 32-bit process on 64-bit Windows 11 with one NVIDIA card whose driver sits in the driver
// store and registers nothing yet: each case adds what it is about.
void Windows11Wow64(ScriptedDriverSystem& m) {
    m.SetBuild(L"22631");
    m.wow64 = true;
    m.environment[L"ProgramW6432"] = L"C:\\Program Files";
    m.folders[KnownFolder::ProgramFiles] = L"C:\\Program Files (x86)";  // what a 32-bit process is told
    m.adapters = {{kNvidiaAdapter, kDriverKey, L"oem42.inf"}};
    m.driverStore[L"oem42.inf"] = kStore + L"nv_dispi.inf";
    m.files[kStore + L"nvapi.dll"] = 0x20;
}

void Register(ScriptedDriverSystem& m, const std::wstring& value, const std::vector<std::wstring>& entries) {
    m.SetTextList(kClassKey + kDriverKey, value, entries);
}

// Registered in the driver store, on the given build.
std::function<void(ScriptedDriverSystem&)> InStoreOnBuild(const wchar_t* build) {
    return [build](ScriptedDriverSystem& m) {
        m.SetBuild(build);
        Register(m, L"UserModeDriverNameWow", {kStore + L"nvapi.dll"});
    };
}

struct Machine {
    const char* title;
    std::function<void(ScriptedDriverSystem&)> setUp;  // on top of Windows11Wow64
    DriverRoad road;
    std::wstring path;  // the file the road leads to
    uint32_t error;     // 0: loaded from `path`, and only from there
    std::function<void(const DriverLibraryRoad&)> more = [](const DriverLibraryRoad&) {};
    std::wstring name = L"nvapi.dll";
};

std::ostream& operator<<(std::ostream& out, const Machine& m) { return out << m.title; }

const DriverRoad kNone = DriverRoad::None;
const DriverRoad kSystem = DriverRoad::SystemDirectory;
const DriverRoad kRegistered = DriverRoad::Registration;
const DriverRoad kStoreRoad = DriverRoad::DriverStore;

const std::vector<Machine> kMachines = {
    // The build number and the name decide whether the registrations are searched at all.
    {"Windows7Sp1", InStoreOnBuild(L"7601"),
     kSystem, kSystem32 + L"nvapi.dll", 0, [](const auto& r) { EXPECT_FALSE(r.searched); }},
    {"Windows10Build14307", InStoreOnBuild(L"14307"),
     kSystem, kSystem32 + L"nvapi.dll", 0},
    {"Windows10Build14308", InStoreOnBuild(L"14308"),
     kRegistered, kStore + L"nvapi.dll", 0},
    {"NameNotBeginningWithNv", [](auto& m) { Register(m, L"UserModeDriverNameWow", {kStore + L"atiadlxy.dll"}); },
     kSystem, kSystem32 + L"atiadlxy.dll", 0, [](const auto& r) { EXPECT_FALSE(r.searched); }, L"atiadlxy.dll"},
    {"NvGateIgnoresCase", [](auto& m) { Register(m, L"UserModeDriverNameWow", {kStore + L"nvapi.dll"}); },
     kRegistered, kStore + L"nvapi.dll", 0, [](const auto&) {}, L"NVAPI.DLL"},

    // A 32-bit process on 64-bit Windows reads the "Wow" values, any other process the plain ones.
    {"Wow64ReadsTheWowValues",
     [](auto& m) {
         Register(m, L"UserModeDriverName", {kStore + L"x64\\nvapi.dll"});
         Register(m, L"UserModeDriverNameWow", {kStore + L"nvldumd.dll", kStore + L"nvapi.dll"});
     },
     kRegistered, kStore + L"nvapi.dll", 0,
     [](const auto& r) {
         EXPECT_EQ(RegistrationPlace::DriverKeyValues, r.search.registrations.place);
         EXPECT_EQ(kClassKey + kDriverKey, r.search.registrations.key);
         EXPECT_EQ(L"UserModeDriverNameWow", r.search.registrations.value);
     }},
    {"NativeProcessReadsThePlainValues",
     [](auto& m) {
         m.wow64 = false;
         Register(m, L"UserModeDriverName", {kStore + L"x86\\nvapi.dll"});
         Register(m, L"UserModeDriverNameWow", {kStore + L"nvapi.dll"});
     },
     kRegistered, kStore + L"x86\\nvapi.dll", 0},
    {"TextValueAfterListValues",
     [](auto& m) {
         Register(m, L"UserModeDriverNameWow", {kStore + L"nvldumd.dll"});
         m.SetText(kClassKey + kDriverKey, L"OpenGLDriverNameWow", kStore + L"nvapi.dll");
     },
     kRegistered, kStore + L"nvapi.dll", 0,
     [](const auto& r) { EXPECT_EQ(L"OpenGLDriverNameWow", r.search.registrations.value); }},

    // What a registered entry says about the folder.
    {"BareName", [](auto& m) { Register(m, L"UserModeDListDriverNameWow", {L"nvapi.dll"}); },
     kRegistered, kSystem32 + L"nvapi.dll", 0},
    {"System32Form", [](auto& m) { Register(m, L"UserModeDriverNameWow", {L"System32\\nvapi.dll"}); },
     kRegistered, kSystem32 + L"nvapi.dll", 0},
    {"OtherRelativeFormIsDropped", [](auto& m) { Register(m, L"UserModeDriverNameWow", {L"SysWOW64\\nvapi.dll"}); },
     kSystem, kSystem32 + L"nvapi.dll", 0,
     [](const auto& r) {
         EXPECT_TRUE(r.search.entryDropped);
         EXPECT_EQ(DriverStoreOutcome::NotTried, r.search.store);  // though the store has the file
     }},

    // Only the Windows folder and the two Program Files folders are trusted.
    {"NativeProgramFilesFromTheEnvironment",
     [](auto& m) { Register(m, L"UserModeDriverNameWow", {kProgramFiles + L"nvapi.dll"}); },
     kRegistered, kProgramFiles + L"nvapi.dll", 0},
    {"ProgramW6432Unset",
     [](auto& m) {
         m.environment.clear();
         Register(m, L"UserModeDriverNameWow", {kProgramFiles + L"nvapi.dll"});
     },
     kRegistered, kProgramFiles + L"nvapi.dll", kErrorBadPathname,
     [](const auto& r) {
         EXPECT_EQ((std::vector<std::wstring>{L"C:\\Windows\\", L"C:\\Program Files (x86)\\"}), r.trustedFolders);
     }},
    {"OutsideTheTrustedFolders", [](auto& m) { Register(m, L"UserModeDriverNameWow", {L"D:\\Drivers\\nvapi.dll"}); },
     kRegistered, L"D:\\Drivers\\nvapi.dll", kErrorBadPathname},
    {"DotDotOutOfTheWindowsFolder",
     [](auto& m) {
         Register(m, L"UserModeDriverNameWow", {L"C:\\Windows\\..\\Users\\Public\\nvapi.dll"});
         m.fullPaths[L"C:\\Windows\\..\\Users\\Public\\nvapi.dll"] = L"C:\\Users\\Public\\nvapi.dll";
     },
     kRegistered, L"C:\\Users\\Public\\nvapi.dll", kErrorBadPathname},
    {"UnknownWindowsFolderAdmitsNoNetworkPath",
     [](auto& m) {
         m.folders[KnownFolder::Windows] = L"";
         Register(m, L"UserModeDriverNameWow", {L"\\\\fileserver\\drivers\\nvapi.dll"});
     },
     kRegistered, L"\\\\fileserver\\drivers\\nvapi.dll", kErrorBadPathname},
    {"OlderThanWindows7TakesAnyAbsolutePath",
     [](auto& m) {
         m.windows7OrLater = false;
         Register(m, L"UserModeDriverNameWow", {L"D:\\Drivers\\nvapi.dll"});
     },
     kRegistered, L"D:\\Drivers\\nvapi.dll", 0, [](const auto& r) { EXPECT_TRUE(r.trustedFolders.empty()); }},

    // The places, in their order.
    {"VulkanValueNames",
     [](auto& m) {
         m.SetValue(kVulkan, kStore + L"nv-vk32.json", kRegDword, {0, 0, 0, 0});
         m.SetValue(kVulkan, kStore + L"nvapi.dll", kRegDword, {0, 0, 0, 0});
         m.SetValue(kOpenCl, L"nvapi.dll", kRegDword, {0, 0, 0, 0});
     },
     kRegistered, kStore + L"nvapi.dll", 0,
     [](const auto& r) {
         EXPECT_EQ(RegistrationPlace::KhronosValueNames, r.search.registrations.place);
         EXPECT_EQ(kVulkan, r.search.registrations.key);
         EXPECT_EQ(L"", r.search.registrations.value);
     }},
    {"OpenClValueNames", [](auto& m) { m.SetValue(kOpenCl, L"nvapi.dll", kRegDword, {0, 0, 0, 0}); },
     kRegistered, kSystem32 + L"nvapi.dll", 0,
     [](const auto& r) { EXPECT_EQ(kOpenCl, r.search.registrations.key); }},
    {"DriverKeyBeforeKhronos",
     [](auto& m) {
         Register(m, L"DriverSupportModulesWow", {kProgramFiles + L"nvapi.dll"});
         m.SetValue(kVulkan, kStore + L"nvapi.dll", kRegDword, {0, 0, 0, 0});
         Register(m, L"UserModeDriverNameWow", {L"nvapi.dll"});
     },
     kRegistered, kSystem32 + L"nvapi.dll", 0},
    {"KhronosBeforeSupportModules",
     [](auto& m) {
         Register(m, L"DriverSupportModulesWow", {kProgramFiles + L"nvapi.dll"});
         m.SetValue(kOpenCl, kStore + L"nvapi.dll", kRegDword, {0, 0, 0, 0});
     },
     kRegistered, kStore + L"nvapi.dll", 0},
    {"SupportModules", [](auto& m) { Register(m, L"DriverSupportModulesWow", {kProgramFiles + L"nvapi.dll"}); },
     kRegistered, kProgramFiles + L"nvapi.dll", 0,
     [](const auto& r) { EXPECT_EQ(RegistrationPlace::DriverSupportModules, r.search.registrations.place); }},

    // A value of another type than text or text list stops the search after its place.
    {"NumberValueStopsTheSearch",
     [](auto& m) {
         m.SetValue(kClassKey + kDriverKey, L"UserModeDriverNameWow", kRegDword, {1, 0, 0, 0});
         m.SetValue(kVulkan, kStore + L"nvapi.dll", kRegDword, {0, 0, 0, 0});
     },
     kNone, L"", kErrorInvalidData,
     [](const auto& r) {
         ASSERT_EQ(1u, r.search.registrations.skipped.size());
         EXPECT_EQ(L"UserModeDriverNameWow", r.search.registrations.skipped[0].name);
         EXPECT_EQ(kRegDword, r.search.registrations.skipped[0].type);
         EXPECT_EQ(DriverStoreOutcome::NotTried, r.search.store);
     }},
    {"ExpandableTextIsAnotherType",
     [](auto& m) {
         m.SetValue(kClassKey + kDriverKey, L"OpenGLDriverNameWow", kRegExpandText, Utf16Bytes(L"nvapi.dll"));
     },
     kNone, L"", kErrorInvalidData},
    {"WrongTypeThenAMatchInTheSamePlace",
     [](auto& m) {
         m.SetValue(kClassKey + kDriverKey, L"UserModeDriverNameWow", kRegDword, {1, 0, 0, 0});
         Register(m, L"OpenGLDriverNameWow", {kStore + L"nvapi.dll"});
     },
     kRegistered, kStore + L"nvapi.dll", 0},
    {"WrongTypeInAValueTheProcessDoesNotRead",
     [](auto& m) { m.SetValue(kClassKey + kDriverKey, L"UserModeDriverName", kRegDword, {1, 0, 0, 0}); },
     kStoreRoad, kStore + L"nvapi.dll", 0},

    // The display adapters.
    {"NoNvidiaAdapter",
     [](auto& m) {
         m.adapters = {{kIntelAdapter, L"{4d36e968-e325-11ce-bfc1-08002be10318}\\0000", L"oem7.inf"}};
         m.driverStore[L"oem7.inf"] = kStore + L"nv_dispi.inf";
     },
     kSystem, kSystem32 + L"nvapi.dll", 0,
     [](const auto& r) {
         EXPECT_EQ(RegistrationOutcome::NoNvidiaAdapter, r.search.registrations.outcome);
         EXPECT_EQ(DriverStoreOutcome::NoNvidiaAdapter, r.search.store);
     }},
    {"FirstOfTwoNvidiaAdapters",
     [](auto& m) {
         const std::wstring second = L"{4d36e968-e325-11ce-bfc1-08002be10318}\\0002";
         m.adapters = {{kIntelAdapter, L"{4d36e968-e325-11ce-bfc1-08002be10318}\\0000", std::nullopt},
                       {L"\\\\?\\pci#ven_10de&dev_1e84#1#{1ca05180-a699-450a-9a0c-de4fbe3ddd89}", kDriverKey,
                        std::nullopt},
                       {kNvidiaAdapter, second, std::nullopt}};
         Register(m, L"UserModeDriverNameWow", {kStore + L"nvapi.dll"});
         m.SetTextList(kClassKey + second, L"UserModeDriverNameWow", {kProgramFiles + L"nvapi.dll"});
     },
     kRegistered, kStore + L"nvapi.dll", 0},
    {"AdapterWithoutDriverKeyStillHasTheStore", [](auto& m) { m.adapters[0].driverKey.reset(); },
     kStoreRoad, kStore + L"nvapi.dll", 0,
     [](const auto& r) { EXPECT_EQ(RegistrationOutcome::NoDriverKey, r.search.registrations.outcome); }},
    {"Wow64UnknownStillHasTheStore", [](auto& m) { m.wow64.reset(); },
     kStoreRoad, kStore + L"nvapi.dll", 0},

    // The driver store, beside the INF file of the NVIDIA driver.
    {"DriverStore", [](auto&) {}, kStoreRoad, kStore + L"nvapi.dll", 0,
     [](const auto& r) {
         EXPECT_EQ(RegistrationOutcome::NotRegistered, r.search.registrations.outcome);
         EXPECT_EQ(L"oem42.inf", r.search.driverInf);
     }},
    {"DirectoryInTheDriverStore", [](auto& m) { m.files[kStore + L"nvapi.dll"] = 0x10; },
     kSystem, kSystem32 + L"nvapi.dll", 0,
     [](const auto& r) { EXPECT_EQ(DriverStoreOutcome::NoFile, r.search.store); }},
    {"DriverStoreGivesARelativeFolder",
     [](auto& m) {
         m.driverStore[L"oem42.inf"] = L"FileRepository\\nv_dispi.inf_amd64_5f7a\\nv_dispi.inf";
         m.files[L"FileRepository\\nv_dispi.inf_amd64_5f7a\\nvapi.dll"] = 0x20;
     },
     kStoreRoad, L"FileRepository\\nv_dispi.inf_amd64_5f7a\\nvapi.dll", kErrorBadArguments},

    // Names that match and names that almost do.
    {"NamesThatAlmostMatch",
     [](auto& m) {
         Register(m, L"UserModeDriverNameWow",
                  {kProgramFiles + L"nvapi64.dll", kProgramFiles + L"nvapi.dll.bak", kProgramFiles + L"nvapi.exe",
                   kProgramFiles + L"NVAPI.DLL"});
     },
     kRegistered, kProgramFiles + L"NVAPI.DLL", 0},
};

class DriverSearchMachines : public ::testing::TestWithParam<Machine> {};

TEST_P(DriverSearchMachines, TakeTheirRoad) {
    const Machine& machine = GetParam();
    ScriptedDriverSystem system;
    Windows11Wow64(system);
    machine.setUp(system);
    SystemFacts facts(system);
    const DriverLibraryLoad load = DriverLibraryLoader(system, facts).Load(machine.name);

    EXPECT_EQ(machine.road, load.road.road);
    EXPECT_EQ(machine.path, load.road.path);
    EXPECT_EQ(machine.error, load.road.error);
    if (machine.error == 0) {
        EXPECT_NE(nullptr, load.module);
        EXPECT_EQ(std::vector<std::wstring>{machine.path}, system.loads);
    } else {
        EXPECT_EQ(nullptr, load.module);
        EXPECT_TRUE(system.loads.empty()) << "a refused road loads nothing, not even from the system directory";
    }
    machine.more(load.road);
}

INSTANTIATE_TEST_SUITE_P(Table, DriverSearchMachines, ::testing::ValuesIn(kMachines),
                         [](const auto& info) { return std::string(info.param.title); });

TEST(DriverSearch, AFailedLoadOfTheRegisteredFileIsTheAnswerWithoutFallback) {
    ScriptedDriverSystem system;
    Windows11Wow64(system);
    Register(system, L"UserModeDriverNameWow", {kStore + L"nvapi.dll"});
    system.failingLoads[kStore + L"nvapi.dll"] = 193;
    SystemFacts facts(system);
    const DriverLibraryLoad load = DriverLibraryLoader(system, facts).Load(L"nvapi.dll");
    EXPECT_EQ(nullptr, load.module);
    EXPECT_EQ(193u, load.road.error);
    EXPECT_EQ(std::vector<std::wstring>{kStore + L"nvapi.dll"}, system.loads);
}

TEST(DriverSearch, OneSearchEnumeratesTheAdaptersOnceAndAnOldBuildNeverDoes) {
    ScriptedDriverSystem system;
    Windows11Wow64(system);  // registers nothing: both the registrations and the store need the adapter
    SystemFacts facts(system);
    DriverLibraryLoader loader(system, facts);
    EXPECT_EQ(DriverRoad::DriverStore, loader.Plan(L"nvapi.dll").road);
    EXPECT_EQ(1, system.adapterEnumerations);

    ScriptedDriverSystem old;
    Windows11Wow64(old);
    old.SetBuild(L"7601");
    SystemFacts oldFacts(old);
    EXPECT_EQ(DriverRoad::SystemDirectory, DriverLibraryLoader(old, oldFacts).Plan(L"nvapi.dll").road);
    EXPECT_EQ(0, old.adapterEnumerations);
    EXPECT_EQ(0, old.wow64Asks);
    EXPECT_EQ(1, old.registryReads);  // the build number alone
}

TEST(SystemFacts, BuildNumberIsReadAgainWhileZeroThenKept) {
    ScriptedDriverSystem system;
    SystemFacts facts(system);
    EXPECT_EQ(0u, facts.BuildNumber());  // no value yet
    system.SetBuild(L"19045b");
    EXPECT_EQ(0u, facts.BuildNumber());
    system.SetValue(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"CurrentBuildNumber", kRegDword,
                    {0x55, 0x4A, 0, 0});
    EXPECT_EQ(0u, facts.BuildNumber());  // a number, not a text
    system.SetBuild(L"19045");
    EXPECT_EQ(19045u, facts.BuildNumber());
    system.SetBuild(L"22631");
    EXPECT_EQ(19045u, facts.BuildNumber());
    EXPECT_EQ(4, system.buildReads);
}

TEST(SystemFacts, Wow64AndTheVersionAreAskedOnceEvenWhenUnknownAndFromManyThreads) {
    ScriptedDriverSystem system;
    system.wow64.reset();
    system.SetBuild(L"22631");
    SystemFacts facts(system);
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&] {
            for (int j = 0; j < 100; ++j) {
                EXPECT_FALSE(facts.Wow64().has_value());
                EXPECT_TRUE(facts.Windows7OrLater());
                EXPECT_EQ(22631u, facts.BuildNumber());
            }
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(1, system.wow64Asks);
    EXPECT_EQ(1, system.versionChecks);
    EXPECT_EQ(1, system.buildReads);
}

}  // namespace
