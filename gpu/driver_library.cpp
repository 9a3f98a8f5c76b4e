#include "gpu/driver_library.h"

#include "gpu/driver_system_win32.h"

namespace {

Win32DriverSystem& ThisProcessSystem() {
    static Win32DriverSystem system;
    return system;
}

}  // namespace

SystemFacts& ThisProcessSystemFacts() {
    static SystemFacts facts(ThisProcessSystem());
    return facts;
}

DriverLibraryLoader ThisProcessDriverLoader() {
    return DriverLibraryLoader(ThisProcessSystem(), ThisProcessSystemFacts());
}

HMODULE LoadDriverLibrary(const wchar_t* name) {
    const DriverLibraryLoad load = ThisProcessDriverLoader().Load(name);
    SetLastError(load.road.error);
    return static_cast<HMODULE>(load.module);
}
