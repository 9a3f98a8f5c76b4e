// The system sensor catalogue: built once from what the SDK reports, then refreshed by the
// real-time queries. It holds the SDK binding it is built from; whoever owns it runs one operation
// at a time, since the host may call the sensor operations from several threads.
#pragma once

#include <cstdint>
#include <vector>

#include "TorvexModule.h"
#include "syssensors/catalogue_build.h"
#include "syssensors/sensor_device.h"
#include "syssensors/sensor_locator.h"
#include "syssensors/sensor_sdk.h"

class SensorCatalogue {
public:
    // Starts the SDK (unless a start before succeeded) and builds the catalogue, unless one was
    // built: its numbers are what the host keeps. A first number above 0 becomes the number of the
    // first record. 0 built (or built before); -1 the SDK did not start; -2 the process has no
    // module handle; -3 the SDK gives no device list (nothing is added, the SDK stays started).
    // A start that fails, or a build that runs out of memory (which propagates), is undone: the
    // SDK is released, then `undoFailedStart` runs, and the next start begins afresh.
    int Start(int32_t firstNumber, void (*undoFailedStart)());

    // The records in build order (a record's index is its position in every array the exports
    // exchange). Never cleared.
    const std::vector<SensorRecord>& Records() const { return m_records; }

    // Re-reads the enabled sensors and then has the SDK take new readings, so each query shows the
    // readings taken at the end of the one before. Does nothing without an SDK or when the SDK's
    // device count no longer matches the catalogue's.
    void Refresh();

    // Each given record's bEnabled goes to the catalogue record with its number: 0 when every number
    // is known, -2 otherwise (the known ones are still applied).
    int SetStatus(const SensorRecord* records, int32_t count);

private:
    // Builds the catalogue from the started SDK: 0, or -3 when the SDK gives no device list.
    int Build();
    SensorRecord* RecordNumbered(int32_t number);
    void RefreshClassSensors(int32_t device, int32_t count, int32_t classCode);

    SensorSdk m_sdk;
    std::vector<SensorRecord> m_records;
    std::vector<SensorDevice> m_devices;  // the SDK's devices in SDK order
    int32_t m_nNumberBase = 0;            // number of the first record
    int32_t m_nNextNumber = 0;            // next number to hand out
    bool m_bBuilt = false;                // a build succeeded; the catalogue is never built again
    // Built with the catalogue, kept in step with every record a refresh moves.
    SensorLocator m_locator;
    UniqueClassTexts m_classTexts;
};
