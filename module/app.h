// The application object: the module's once-per-process start-up, run while the DLL loads.
#pragma once

class CTorvexModuleApp {
public:
    CTorvexModuleApp() = default;
    virtual ~CTorvexModuleApp() = default;
    CTorvexModuleApp(const CTorvexModuleApp&) = delete;
    CTorvexModuleApp& operator=(const CTorvexModuleApp&) = delete;

    // Brings up GPU access and builds the board registry. Always succeeds: with no GPU or no vendor
    // interface the registry stays empty and the board exports answer -1.
    virtual bool InitInstance();
};

extern CTorvexModuleApp theApp;
