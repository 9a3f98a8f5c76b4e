// The last steps of the catalogue build: groups of records that share a key, and the names the
// host shows.
#pragma once

#include <vector>

#include "TorvexModule.h"
#include "syssensors/sensor_device.h"

// Walks the records in order: each key gets a group number in order of first appearance
// (nGroup), and each record a running ordinal that starts again at 0 with every new key and rises
// with every record of a key seen before (nGroupOrdinal). Then each record's display name is its
// key, or "<key>_<ordinal>" when its group has more than one record, and its device name is the
// name of device nDeviceIndex.
void NameCatalogue(std::vector<SensorRecord>& records, const std::vector<SensorDevice>& devices);
