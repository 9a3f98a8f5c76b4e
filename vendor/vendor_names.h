// The file names of the vendor libraries, per process width: a process can load only libraries of
// its own width, and each vendor ships its 64-bit library under another name. This is the one place
// that says which names a build uses; the module, the bench's stand-ins (bench/CMakeLists.txt reads
// the two rows below), torvexctl and the tests all take them from here.
#pragma once

namespace vendor {

// A file name in both character types, for the ANSI and the wide Windows calls.
struct LibraryName {
    const char* narrow;
    const wchar_t* wide;
};

struct LibraryNames {
    LibraryName nvapi;     // NVIDIA NVAPI
    LibraryName adl;       // AMD ADL
    LibraryName adlx;      // AMD ADLX
    LibraryName cpuidSdk;  // the CPUID system-monitoring SDK
};

inline constexpr LibraryNames kX86LibraryNames{{"nvapi.dll", L"nvapi.dll"},
                                               {"atiadlxy.dll", L"atiadlxy.dll"},
                                               {"amdadlx32.dll", L"amdadlx32.dll"},
                                               {"cpuidsdk.dll", L"cpuidsdk.dll"}};
inline constexpr LibraryNames kX64LibraryNames{{"nvapi64.dll", L"nvapi64.dll"},
                                               {"atiadlxx.dll", L"atiadlxx.dll"},
                                               {"amdadlx64.dll", L"amdadlx64.dll"},
                                               {"cpuidsdk64.dll", L"cpuidsdk64.dll"}};

// The names this build's processes load.
inline constexpr const LibraryNames& kLibraryNames = sizeof(void*) == 4 ? kX86LibraryNames : kX64LibraryNames;

namespace detail {
constexpr bool SameText(const char* narrow, const wchar_t* wide) {
    for (; *narrow || *wide; ++narrow, ++wide)
        if (static_cast<wchar_t>(*narrow) != *wide) return false;
    return true;
}
constexpr bool Consistent(const LibraryNames& names) {
    return SameText(names.nvapi.narrow, names.nvapi.wide) && SameText(names.adl.narrow, names.adl.wide) &&
           SameText(names.adlx.narrow, names.adlx.wide) && SameText(names.cpuidSdk.narrow, names.cpuidSdk.wide);
}
}  // namespace detail

static_assert(detail::Consistent(kX86LibraryNames) && detail::Consistent(kX64LibraryNames),
              "each name reads the same in both character types");

}  // namespace vendor
