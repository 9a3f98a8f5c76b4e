/* A host that loads TorvexModule.dll itself, from its own folder, and takes the exports with
 * GetProcAddress through the header's PFN_ types. It needs only the header at build time.
 *
 *   print_boards_dynamic [GPU-ID ...]     as print_boards */
#include <windows.h>

#include <stdio.h>
#include <wchar.h>

#include "board_report.h"

/* The full path of TorvexModule.dll beside this program, so no other folder is searched. */
static int ModulePathBesideProgram(wchar_t* path, DWORD size) {
    wchar_t* lastSeparator;
    const DWORD length = GetModuleFileNameW(NULL, path, size);
    if (length == 0 || length >= size) return 0;
    lastSeparator = wcsrchr(path, L'\\');
    if (lastSeparator == NULL || (size_t)(lastSeparator + 1 - path) + wcslen(L"TorvexModule.dll") >= size) return 0;
    wcscpy(lastSeparator + 1, L"TorvexModule.dll");
    return 1;
}

int main(int argc, char** argv) {
    wchar_t path[MAX_PATH];
    HMODULE module;
    BoardReader reader;
    int exitCode;

    if (!ModulePathBesideProgram(path, MAX_PATH)) {
        fprintf(stderr, "cannot form the path of TorvexModule.dll\n");
        return 3;
    }
    /* The module starts its GPU access here, inside LoadLibraryW: never do this from a DllMain. */
    module = LoadLibraryW(path);
    if (module == NULL) {
        fprintf(stderr, "cannot load %ls (Windows error %lu)\n", path, GetLastError());
        return 3;
    }
    /* GetProcAddress's function type matches no export's; converting through void (*)(void), the
     * generic function pointer type, says the conversion is meant. */
    reader.checkFunctionSupport = (PFN_Torvex_Api_Check_Function_Support)(void (*)(void))GetProcAddress(
        module, "Torvex_Api_Check_Function_Support");
    reader.getThermalMap =
        (PFN_Torvex_Api_GetThermalMap)(void (*)(void))GetProcAddress(module, "Torvex_Api_GetThermalMap");
    reader.getPowerStatus =
        (PFN_Torvex_Api_GetPowerStatus)(void (*)(void))GetProcAddress(module, "Torvex_Api_GetPowerStatus");
    if (reader.checkFunctionSupport == NULL || reader.getThermalMap == NULL || reader.getPowerStatus == NULL) {
        fprintf(stderr, "%ls lacks an export this program needs\n", path);
        FreeLibrary(module);
        return 3;
    }
    exitCode = ReportBoards(&reader, argc - 1, argv + 1);
    FreeLibrary(module);
    return exitCode;
}
