#include <windows.h>

#include "module/app.h"

// The C runtime has constructed the module-wide objects by the time this runs, and destroys them
// in reverse order after DLL_PROCESS_DETACH.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        try {
            theApp.InitInstance();
        } catch (...) {
            // Start-up never stops the library from loading; the registry is simply left as built.
        }
    }
    return TRUE;
}
