// The module-wide objects: one per export group, each its state with the lock that guards it
// (base/guarded.h). The locks are taken in one order only, top to bottom, and never the other way:
//   g_sensors  before  g_helper           (a failed sensor start releases the helper)
//   g_boards   before  the NVIDIA I2C record's lock (gpu/i2c_bus.h; every NVIDIA read takes it)
// g_helper and the I2C record's lock take no other lock while held.
#pragma once

#include "base/guarded.h"
#include "base/record_array.h"
#include "card/model.h"
#include "helperchannel/helper_channel.h"
#include "syssensors/sensor_catalogue.h"

// The board registry: one record per GPU, filled once while the module loads and only read after.
// Its lock makes the board exports run one at a time, whichever thread and board they come from:
// all boards feed one tilt filter, and a controller check rewrites record fields that the gates
// read.
extern Guarded<RecordArray<CModel>> g_boards;

// The system sensor catalogue with its SDK binding.
extern Guarded<SensorCatalogue> g_sensors;

// The helper process's channel.
extern Guarded<HelperChannel> g_helper;
