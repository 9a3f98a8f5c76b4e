// The system sensor catalogue: built once from what the SDK reports, then refreshed by the
// real-time queries. Module-wide; every function here runs under g_sensorLock.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "TorvexModule.h"
#include "syssensors/catalogue_build.h"
#include "syssensors/sensor_device.h"

// One caller at a time for the catalogue and the SDK binding: the host may call the four sensor
// exports from several threads.
extern std::mutex g_sensorLock;

// The records in build order (a record's index is its position in every array the exports
// exchange) and the SDK's devices in SDK order. Never cleared.
extern std::vector<SensorRecord> g_vecSensors;
extern std::vector<SensorDevice> g_vecSensorDevices;
extern int32_t g_nSensorNumberBase;  // number of the first record
extern int32_t g_nNextSensorNumber;  // next number to hand out

// True once a build has succeeded; the catalogue is then never built again.
bool SensorCatalogueBuilt();
// Builds the catalogue from the started SDK: 0, or -3 when the SDK gives no device list (nothing
// is added then). A build that runs out of memory adds nothing either: the failure propagates and
// the catalogue, its class texts and its numbers are as they were.
int BuildSensorCatalogue();
// Re-reads the enabled sensors and then has the SDK take new readings, so each query shows the
// readings taken at the end of the one before. Does nothing without an SDK or when the SDK's
// device count no longer matches the catalogue's.
void RefreshSensorCatalogue();
// Each given record's bEnabled goes to the catalogue record with its number: 0 when every number
// is known, -2 otherwise (the known ones are still applied).
int SetSensorStatus(const SensorRecord* records, int32_t count);
