/*
 * TorvexModule.h - the public interface of TorvexModule.dll (32-bit Windows).
 *
 * Every export is a plain cdecl function under its undecorated name that returns an int status
 * and writes its results only into caller-supplied buffers. Buffers are little-endian; floats are
 * 32-bit IEEE. The layouts below are a binary contract and are pinned by static assertions.
 *
 * Board exports take a GPU identifier (the GPU's PCI bus number) first. An identifier that matches
 * no board addresses the first board; with no board at all they return -1 and write nothing. A null
 * pointer changes nothing but the writes through it: the export still does the work that comes
 * before them (reads, state changes, helper exchanges), then returns -1 and writes nothing where it
 * would write; where it would not write, its own code stands. Every export may be
 * called from several threads: the board exports run one at a time, and so do the sensor exports
 * and the QLXSW exports, each group under a lock of its own.
 *
 * Usable from C and C++. Link against libTorvexModule.dll.a (MinGW) or TorvexModule.lib (MSVC), or
 * load the DLL at run time and take the functions with GetProcAddress through the PFN_ typedefs at
 * the end of this file. docs/api.md describes every export.
 */
#ifndef TORVEX_MODULE_H
#define TORVEX_MODULE_H

#include <stddef.h>
#include <stdint.h>

/* The version of this header and of the DLL built with it; the DLL's version resource carries the
 * same numbers. The combined number orders versions: TORVEX_MODULE_VERSION >=
 * TORVEX_MODULE_MAKE_VERSION(0, 1, 0) holds from 0.1.0 on (minor and patch stay below 100). */
#define TORVEX_MODULE_VERSION_MAJOR 0
#define TORVEX_MODULE_VERSION_MINOR 1
#define TORVEX_MODULE_VERSION_PATCH 0
#define TORVEX_MODULE_MAKE_VERSION(major, minor, patch) ((major) * 10000 + (minor) * 100 + (patch))
#define TORVEX_MODULE_VERSION \
    TORVEX_MODULE_MAKE_VERSION(TORVEX_MODULE_VERSION_MAJOR, TORVEX_MODULE_VERSION_MINOR, TORVEX_MODULE_VERSION_PATCH)
#define TORVEX_MODULE_STRINGIFY_(x) #x
#define TORVEX_MODULE_STRINGIFY(x) TORVEX_MODULE_STRINGIFY_(x)
/* "major.minor.patch", e.g. "0.1.0" */
#define TORVEX_MODULE_VERSION_STRING                                                 \
    TORVEX_MODULE_STRINGIFY(TORVEX_MODULE_VERSION_MAJOR) "." TORVEX_MODULE_STRINGIFY( \
        TORVEX_MODULE_VERSION_MINOR) "." TORVEX_MODULE_STRINGIFY(TORVEX_MODULE_VERSION_PATCH)

#ifdef __cplusplus
#define TORVEX_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
extern "C" {
#else
#define TORVEX_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

#if defined(TORVEX_MODULE_BUILD) || !defined(_WIN32)
#define TORVEX_API
#else
#define TORVEX_API __declspec(dllimport)
#endif

#if defined(_WIN32)
#define TORVEX_CALL __cdecl
#else
#define TORVEX_CALL
#endif

/* UTF-16 code unit of the record texts: wchar_t on Windows, where it is 16 bits. */
#if defined(_WIN32)
typedef wchar_t TorvexWChar;
#else
typedef uint16_t TorvexWChar;
#endif

#pragma pack(push, 4)

/* Capability pair filled by Torvex_Api_Check_Function_Support. */
typedef struct FunctionSupport {
    uint32_t nFunction; /* bit 0 usage-time totals, bit 1 power status, bit 2 thermal map, bit 3
                           reported but used by no export */
    uint32_t nVersion;  /* controller firmware version word, e.g. 0x0511 */
} FunctionSupport;

/* Capability bits of FunctionSupport.nFunction. */
#define TORVEX_FUNCTION_MILEAGE_TOTAL 0x1u
#define TORVEX_FUNCTION_POWER_STATUS 0x2u
#define TORVEX_FUNCTION_THERMAL_MAP 0x4u
#define TORVEX_FUNCTION_RESERVED3 0x8u

/* Thermal map block filled by Torvex_Api_GetThermalMap: fValue[0..3] are the four temperatures;
 * fValue[4..9] are never written; nCount is written 4. fValue[3] keeps the caller's value when the
 * controller reports the fourth sensor as negative. */
typedef struct ThermalMap {
    float fValue[10];
    int32_t nCount;
} ThermalMap;

/* Power status block. From the board controller: fValue[0..5] are the six connector readings,
 * fValue[6..9] are left as the caller had them, fTotal their sum, nOverLimit 0, nCount 6. */
typedef struct QLXSWPowerStatus {
    float fValue[10];
    float fTotal;
    int32_t nOverLimit;
    int32_t nCount;
} QLXSWPowerStatus;

/* Tilt record; Torvex_Api_Get_GSensor_Data fills one unfiltered and one filtered record. */
typedef struct GSensorData {
    int16_t iX; /* raw readings, (high register << 8) | low register, unclamped */
    int16_t iY;
    int16_t iZ;
    int16_t iReserved0;
    float fXsign; /* angles in degrees */
    float fYsign;
    float fZsign;
    uint32_t nReserved1[3];
    int32_t nStatus5; /* bits 5..0 of the sensor status register, each 0 or 1 */
    int32_t nStatus4;
    int32_t nStatus3;
    int32_t nStatus2;
    int32_t nStatus1;
    int32_t nStatus0;
} GSensorData;

/* Usage-time stopwatch state (Torvex_Api_GetMileageStatus, Torvex_Api_SetMileage_Rec). */
typedef enum MileageState { Recording = 0, Paused = 1, Stopped = 2 } MileageState;

/* One catalogued system sensor; texts are UTF-16 and NUL-terminated (what follows the NUL has no
 * meaning). The position of a record in the arrays the exports exchange is its nNumber less the
 * number of the first sensor. */
typedef struct SensorRecord {
    int32_t nDeviceIndex; /* the SDK's index of the device that carries the sensor */
    int32_t nClassNumber; /* bits 12..21 of the SDK's sensor identifier */
    int32_t nIdHigh;      /* bits 22..27 of the identifier */
    TorvexWChar szName[128];     /* e.g. "Core #0" */
    TorvexWChar szCategory[128]; /* device class text, "-", sensor class name, e.g. "CPU-Temp" */
    int32_t nSensorIndex;  /* the SDK's index of the sensor within its device and class */
    int32_t nClassOrdinal; /* ordinal of the device-and-class group, in build order */
    int32_t nIdLow;        /* bits 0..11 of the identifier */
    int32_t nRawValue;
    float fValue; /* in the unit of szUnit */
    float fMin;   /* the display range */
    float fMax;
    uint8_t bEnabled; /* nonzero: re-read by every real-time query; 0: its values are frozen */
    uint8_t byReserved0[3];
    int32_t nNumber; /* unique running number of the sensor */
    TorvexWChar szKey[128]; /* category and name, e.g. "CPU-Temp-Core" */
    int32_t nGroup;         /* index of the record's key, in order of first appearance */
    int32_t nGroupOrdinal;  /* ordinal among the records with the same key */
    TorvexWChar szDeviceName[128];
    TorvexWChar szDisplayName[128]; /* unique: the key, or key "_" ordinal, e.g. "CPU-Temp-Core_0" */
    TorvexWChar szUnit[64];
    uint32_t nReserved1;
} SensorRecord;

#pragma pack(pop)

TORVEX_STATIC_ASSERT(sizeof(FunctionSupport) == 8, "FunctionSupport is 8 bytes");
TORVEX_STATIC_ASSERT(offsetof(FunctionSupport, nFunction) == 0, "FunctionSupport.nFunction");
TORVEX_STATIC_ASSERT(offsetof(FunctionSupport, nVersion) == 4, "FunctionSupport.nVersion");

TORVEX_STATIC_ASSERT(sizeof(ThermalMap) == 44, "ThermalMap is 44 bytes");
TORVEX_STATIC_ASSERT(offsetof(ThermalMap, fValue) == 0, "ThermalMap.fValue");
TORVEX_STATIC_ASSERT(offsetof(ThermalMap, nCount) == 40, "ThermalMap.nCount");

TORVEX_STATIC_ASSERT(sizeof(QLXSWPowerStatus) == 52, "QLXSWPowerStatus is 52 bytes");
TORVEX_STATIC_ASSERT(offsetof(QLXSWPowerStatus, fValue) == 0, "QLXSWPowerStatus.fValue");
TORVEX_STATIC_ASSERT(offsetof(QLXSWPowerStatus, fTotal) == 40, "QLXSWPowerStatus.fTotal");
TORVEX_STATIC_ASSERT(offsetof(QLXSWPowerStatus, nOverLimit) == 44, "QLXSWPowerStatus.nOverLimit");
TORVEX_STATIC_ASSERT(offsetof(QLXSWPowerStatus, nCount) == 48, "QLXSWPowerStatus.nCount");

TORVEX_STATIC_ASSERT(sizeof(GSensorData) == 56, "GSensorData is 56 bytes");
TORVEX_STATIC_ASSERT(offsetof(GSensorData, iX) == 0, "GSensorData.iX");
TORVEX_STATIC_ASSERT(offsetof(GSensorData, iY) == 2, "GSensorData.iY");
TORVEX_STATIC_ASSERT(offsetof(GSensorData, iZ) == 4, "GSensorData.iZ");
TORVEX_STATIC_ASSERT(offsetof(GSensorData, fXsign) == 8, "GSensorData.fXsign");
TORVEX_STATIC_ASSERT(offsetof(GSensorData, fYsign) == 12, "GSensorData.fYsign");
TORVEX_STATIC_ASSERT(offsetof(GSensorData, fZsign) == 16, "GSensorData.fZsign");
TORVEX_STATIC_ASSERT(offsetof(GSensorData, nStatus5) == 32, "GSensorData.nStatus5");
TORVEX_STATIC_ASSERT(offsetof(GSensorData, nStatus4) == 36, "GSensorData.nStatus4");
TORVEX_STATIC_ASSERT(offsetof(GSensorData, nStatus3) == 40, "GSensorData.nStatus3");
TORVEX_STATIC_ASSERT(offsetof(GSensorData, nStatus2) == 44, "GSensorData.nStatus2");
TORVEX_STATIC_ASSERT(offsetof(GSensorData, nStatus1) == 48, "GSensorData.nStatus1");
TORVEX_STATIC_ASSERT(offsetof(GSensorData, nStatus0) == 52, "GSensorData.nStatus0");

TORVEX_STATIC_ASSERT(sizeof(MileageState) == 4, "MileageState is 32-bit");
TORVEX_STATIC_ASSERT(sizeof(TorvexWChar) == 2, "record texts are UTF-16");

TORVEX_STATIC_ASSERT(sizeof(SensorRecord) == 1468, "SensorRecord is 1468 bytes");
TORVEX_STATIC_ASSERT(offsetof(SensorRecord, nDeviceIndex) == 0x000, "SensorRecord.nDeviceIndex");
TORVEX_STATIC_ASSERT(offsetof(SensorRecord, nClassNumber) == 0x004, "SensorRecord.nClassNumber");
TORVEX_STATIC_ASSERT(offsetof(SensorRecord, nIdHigh) == 0x008, "SensorRecord.nIdHigh");
TORVEX_STATIC_ASSERT(offsetof(SensorRecord, szName) == 0x00C, "SensorRecord.szName");
TORVEX_STATIC_ASSERT(offsetof(SensorRecord, szCategory) == 0x10C, "SensorRecord.szCategory");
TORVEX_STATIC_ASSERT(offsetof(SensorRecord, nSensorIndex) == 0x20C, "SensorRecord.nSensorIndex");
TORVEX_STATIC_ASSERT(offsetof(SensorRecord, nClassOrdinal) == 0x210, "SensorRecord.nClassOrdinal");
TORVEX_STATIC_ASSERT(offsetof(SensorRecord, nIdLow) == 0x214, "SensorRecord.nIdLow");
TORVEX_STATIC_ASSERT(offsetof(SensorRecord, nRawValue) == 0x218, "SensorRecord.nRawValue");
TORVEX_STATIC_ASSERT(offsetof(SensorRecord, fValue) == 0x21C, "SensorRecord.fValue");
TORVEX_STATIC_ASSERT(offsetof(SensorRecord, fMin) == 0x220, "SensorRecord.fMin");
TORVEX_STATIC_ASSERT(offsetof(SensorRecord, fMax) == 0x224, "SensorRecord.fMax");
TORVEX_STATIC_ASSERT(offsetof(SensorRecord, bEnabled) == 0x228, "SensorRecord.bEnabled");
TORVEX_STATIC_ASSERT(offsetof(SensorRecord, nNumber) == 0x22C, "SensorRecord.nNumber");
TORVEX_STATIC_ASSERT(offsetof(SensorRecord, szKey) == 0x230, "SensorRecord.szKey");
TORVEX_STATIC_ASSERT(offsetof(SensorRecord, nGroup) == 0x330, "SensorRecord.nGroup");
TORVEX_STATIC_ASSERT(offsetof(SensorRecord, nGroupOrdinal) == 0x334, "SensorRecord.nGroupOrdinal");
TORVEX_STATIC_ASSERT(offsetof(SensorRecord, szDeviceName) == 0x338, "SensorRecord.szDeviceName");
TORVEX_STATIC_ASSERT(offsetof(SensorRecord, szDisplayName) == 0x438, "SensorRecord.szDisplayName");
TORVEX_STATIC_ASSERT(offsetof(SensorRecord, szUnit) == 0x538, "SensorRecord.szUnit");
TORVEX_STATIC_ASSERT(offsetof(SensorRecord, nReserved1) == 0x5B8, "SensorRecord reserved tail");

/* ---- Board exports: first argument is the GPU identifier ---------------------------------- */

/* 0 ok; -1 no board or firmware older than 0x500; -2 version registers unreadable. */
TORVEX_API int TORVEX_CALL Torvex_Api_Check_Function_Support(int nGpuId, FunctionSupport* pSupport);
/* Writes 1 to *pbSupported for firmware 0x500 or later. 0 ok; -1 too old or no board; -2 read failed. */
TORVEX_API int TORVEX_CALL Torvex_Api_Check_MTPD_Support(int nGpuId, uint8_t* pbSupported);
/* Returns and writes the tilt-sensor-present flag (0 or 1); -1 no board. */
TORVEX_API int TORVEX_CALL Torvex_Api_Check_GSensor_Support(int nGpuId, uint8_t* pbPresent);
/* 0 ok; -1 refused or read failed. */
TORVEX_API int TORVEX_CALL Torvex_Api_GetThermalMap(int nGpuId, ThermalMap* pMap);
/* 0 ok (fresh or recent readings); -1 refused; -2 no recent readings. */
TORVEX_API int TORVEX_CALL Torvex_Api_GetPowerStatus(int nGpuId, QLXSWPowerStatus* pStatus);
/* The three usage-time counters as the controller reports them. 0 ok; -1 refused or read failed. */
TORVEX_API int TORVEX_CALL Torvex_Api_GetMileageTotalTime(int nGpuId, uint32_t* pnFirst, uint32_t* pnSecond,
                                                          uint32_t* pnThird);
/* The counters' advance since the module was loaded. 0 ok; -1 refused or read failed. */
TORVEX_API int TORVEX_CALL Torvex_Api_GetMileageLatestTime(int nGpuId, uint32_t* pnFirst, uint32_t* pnSecond,
                                                           uint32_t* pnThird);
/* The stopwatch reading. 0 ok; -1 refused or read failed. */
TORVEX_API int TORVEX_CALL Torvex_Api_GetMileageLatestManual(int nGpuId, uint32_t* pnFirst, uint32_t* pnSecond,
                                                             uint32_t* pnThird);
/* Writes the stopwatch state (MileageState). 0 ok; -1 refused. */
TORVEX_API int TORVEX_CALL Torvex_Api_GetMileageStatus(int nGpuId, int32_t* pnState);
/* Requests a stopwatch state (MileageState). 0 ok; -1 refused or transition not allowed. */
TORVEX_API int TORVEX_CALL Torvex_Api_SetMileage_Rec(int nGpuId, int32_t nState);
/* Adds the stretch since the last start to the stopwatch without changing its state. 0 ok; -1 refused. */
TORVEX_API int TORVEX_CALL Torvex_Api_SetMileage_Rec_Stop(int nGpuId);
/* Fills the unfiltered and the filtered tilt record. 0 ok; -1 no tilt sensor. */
TORVEX_API int TORVEX_CALL Torvex_Api_Get_GSensor_Data(int nGpuId, GSensorData* pRaw, GSensorData* pFiltered);

/* ---- System sensors ------------------------------------------------------------------------- */

/* Starts the sensor SDK and builds the catalogue, numbering from nFirstNumber when it is above 0.
 * 0 built (a later call changes nothing and answers 0 again); -1 the SDK could not be loaded or
 * started; -2 the host's module handle could not be obtained; -3 the SDK gives no device list. */
TORVEX_API int TORVEX_CALL Torvex_Api_GetSystermSensorInfo(int nFirstNumber);
/* The number of catalogued sensors, or -1 when there are none. */
TORVEX_API int TORVEX_CALL Torvex_Api_Get_Systerm_Sensor_Count(void);
/* Re-reads the enabled sensors and copies every record to the array whose address *ppRecords holds
 * (room for the count). Each query shows the readings the SDK took at the end of the one before.
 * Writes the count to *pnCount; 0 ok; -1 empty catalogue (count 0) or null array; -1 with nothing
 * written (after the refresh) for a null pnCount or ppRecords. */
TORVEX_API int TORVEX_CALL Torvex_Api_Get_Sensor_RealTime_Data(int32_t* pnCount, SensorRecord** ppRecords);
/* For each of *pnCount records, the sensor with its nNumber takes its bEnabled. 0 all found; -2 some
 * not found (the others are applied); -1 a count below 1, a null pRecords or a null pnCount. */
TORVEX_API int TORVEX_CALL Torvex_Api_Set_Sensor_Status(int32_t* pnCount, const SensorRecord* pRecords);

/* ---- QLXSW device and helper process -------------------------------------------------------- */

/* Asks the host application's helper process (Halvane.exe, started from LIB\x86_lib, else
 * LIB\x64_lib, below the current directory) whether the QLXSW device is there. 1 present (writes
 * 1); -1 absent (writes 0) or a null pointer (the helpers are still asked; nothing is written and
 * the device is not marked present). A helper that cannot be reached counts as reporting the
 * device. */
TORVEX_API int TORVEX_CALL Torvex_Api_Check_QLXSW_Support(uint8_t* pbSupported);
/* The helper's readings for the key nId, starting the helper if needed. 1 ok (fValue[0] up to
 * fValue[nCount - 1], fTotal, nOverLimit and nCount written); -1 no group covers the key (also
 * when the helper cannot be reached or does not answer in time: its answer then reads "ERROR"),
 * or a null pStatus where the block would be written; -3 nId below 1; -4 no successful
 * Torvex_Api_Check_QLXSW_Support yet; -5 the answer does not convert (garbage); -6 an empty list
 * or a group count below 1 (also when the helper hangs up without answering, or the last check
 * found no helper build); -7 the group announces more readings than it holds (only nCount and
 * fTotal = 0 written). Nothing is written on the other codes. Each exchange with the helper takes
 * at most 1000 ms. */
TORVEX_API int TORVEX_CALL Torvex_Api_Get_QLXSW_PowerStatus(int32_t nId, QLXSWPowerStatus* pStatus);
/* Tells the helper to end; the next reading query starts it again. Always 0. */
TORVEX_API int TORVEX_CALL Torvex_Api_Exit_KIVO(void);

/* ---- Function-pointer types, for hosts that take the exports with GetProcAddress -------------- */
/* PFN_<export> is the type of <export>:
 *   PFN_Torvex_Api_GetThermalMap getThermalMap =
 *       (PFN_Torvex_Api_GetThermalMap)GetProcAddress(module, "Torvex_Api_GetThermalMap"); */

typedef int(TORVEX_CALL* PFN_Torvex_Api_Check_Function_Support)(int nGpuId, FunctionSupport* pSupport);
typedef int(TORVEX_CALL* PFN_Torvex_Api_Check_MTPD_Support)(int nGpuId, uint8_t* pbSupported);
typedef int(TORVEX_CALL* PFN_Torvex_Api_Check_GSensor_Support)(int nGpuId, uint8_t* pbPresent);
typedef int(TORVEX_CALL* PFN_Torvex_Api_GetThermalMap)(int nGpuId, ThermalMap* pMap);
typedef int(TORVEX_CALL* PFN_Torvex_Api_GetPowerStatus)(int nGpuId, QLXSWPowerStatus* pStatus);
typedef int(TORVEX_CALL* PFN_Torvex_Api_GetMileageTotalTime)(int nGpuId, uint32_t* pnFirst, uint32_t* pnSecond,
                                                             uint32_t* pnThird);
typedef int(TORVEX_CALL* PFN_Torvex_Api_GetMileageLatestTime)(int nGpuId, uint32_t* pnFirst, uint32_t* pnSecond,
                                                              uint32_t* pnThird);
typedef int(TORVEX_CALL* PFN_Torvex_Api_GetMileageLatestManual)(int nGpuId, uint32_t* pnFirst, uint32_t* pnSecond,
                                                                uint32_t* pnThird);
typedef int(TORVEX_CALL* PFN_Torvex_Api_GetMileageStatus)(int nGpuId, int32_t* pnState);
typedef int(TORVEX_CALL* PFN_Torvex_Api_SetMileage_Rec)(int nGpuId, int32_t nState);
typedef int(TORVEX_CALL* PFN_Torvex_Api_SetMileage_Rec_Stop)(int nGpuId);
typedef int(TORVEX_CALL* PFN_Torvex_Api_Get_GSensor_Data)(int nGpuId, GSensorData* pRaw, GSensorData* pFiltered);
typedef int(TORVEX_CALL* PFN_Torvex_Api_GetSystermSensorInfo)(int nFirstNumber);
typedef int(TORVEX_CALL* PFN_Torvex_Api_Get_Systerm_Sensor_Count)(void);
typedef int(TORVEX_CALL* PFN_Torvex_Api_Get_Sensor_RealTime_Data)(int32_t* pnCount, SensorRecord** ppRecords);
typedef int(TORVEX_CALL* PFN_Torvex_Api_Set_Sensor_Status)(int32_t* pnCount, const SensorRecord* pRecords);
typedef int(TORVEX_CALL* PFN_Torvex_Api_Check_QLXSW_Support)(uint8_t* pbSupported);
typedef int(TORVEX_CALL* PFN_Torvex_Api_Get_QLXSW_PowerStatus)(int32_t nId, QLXSWPowerStatus* pStatus);
typedef int(TORVEX_CALL* PFN_Torvex_Api_Exit_KIVO)(void);

#ifdef __cplusplus
}
#endif

#endif /* TORVEX_MODULE_H */
