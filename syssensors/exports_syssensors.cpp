// The four system-sensor exports: start and build, count, real-time values, and switching single
// sensors' refresh on or off.
#include <windows.h>

#include <cstring>
#include <mutex>

#include "TorvexModule.h"
#include "base/diag.h"
#include "base/export_guard.h"
#include "base/named_mutex.h"
#include "helperchannel/helper_channel.h"
#include "syssensors/sensor_catalogue.h"
#include "syssensors/sensor_sdk.h"

namespace {

// Other programs that use the SDK serialise its start with this mutex. It is waited for at most
// this long: a program that keeps it must not hang the host, so past the wait the SDK starts anyway.
constexpr wchar_t kSdkStartMutex[] = L"Global\\cpuzlock";
constexpr DWORD kSdkStartMutexWaitMs = 2000;

int StartSensorCatalogue(int nFirstNumber) {
    // A catalogue that was built stays as it is: its numbers are what the host keeps.
    if (SensorCatalogueBuilt()) return 0;
    if (nFirstNumber > 0) g_nSensorNumberBase = g_nNextSensorNumber = nFirstNumber;
    if (!GetModuleHandleW(nullptr)) {
        StdoutPrint("Fatal Error: GetModuleHandle failed\n");
        return -2;
    }
    // An SDK that started before (the build then found no device list) is used again.
    if (!g_pSdk) {
        bool started = false;
        {
            const NamedMutexLock startLock(kSdkStartMutex, kSdkStartMutexWaitMs);
            started = LoadSensorSdk();
        }
        if (!started) {
            ReleaseSensorSdk();
            ReleaseHelper();
            return -1;
        }
    }
    try {
        return BuildSensorCatalogue();
    } catch (...) {
        // A build that ran out of memory added nothing; undone like a failed start, the module is
        // then as if it had never started, and the next start begins afresh.
        ReleaseSensorSdk();
        ReleaseHelper();
        throw;
    }
}

int CatalogueSize() { return static_cast<int>(g_vecSensors.size()); }

}  // namespace

extern "C" {

int Torvex_Api_GetSystermSensorInfo(int nFirstNumber) {
    return ExportGuard([&] {
        const std::lock_guard<std::mutex> hold(g_sensorLock);
        return StartSensorCatalogue(nFirstNumber);
    });
}

int Torvex_Api_Get_Systerm_Sensor_Count(void) {
    return ExportGuard([] {
        const std::lock_guard<std::mutex> hold(g_sensorLock);
        return CatalogueSize() > 0 ? CatalogueSize() : -1;
    });
}

int Torvex_Api_Get_Sensor_RealTime_Data(int32_t* pnCount, SensorRecord** ppRecords) {
    return ExportGuard([&] {
        const std::lock_guard<std::mutex> hold(g_sensorLock);
        // The refresh comes first, whatever the pointers; without either one nothing is written.
        RefreshSensorCatalogue();
        if (!pnCount || !ppRecords) return -1;
        *pnCount = CatalogueSize();
        SensorRecord* const records = *ppRecords;
        if (CatalogueSize() < 1 || !records) return -1;
        std::memcpy(records, g_vecSensors.data(), g_vecSensors.size() * sizeof(SensorRecord));
        return 0;
    });
}

int Torvex_Api_Set_Sensor_Status(int32_t* pnCount, const SensorRecord* pRecords) {
    if (!pnCount) return -1;
    return ExportGuard([&] {
        const int32_t count = *pnCount;
        if (count < 1 || !pRecords) return -1;
        const std::lock_guard<std::mutex> hold(g_sensorLock);
        return SetSensorStatus(pRecords, count);
    });
}

}  // extern "C"
