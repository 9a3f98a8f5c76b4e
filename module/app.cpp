#include "app.h"

#include "gpu_access.h"

bool CTorvexModuleApp::InitInstance() {
    InitGpuAccess();
    return true;
}
