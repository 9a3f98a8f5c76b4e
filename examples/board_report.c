#include "board_report.h"

#include <errno.h>
#include <limits.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>

static int ParseGpuId(const char* text, int* id) {
    char* end = NULL;
    long value;
    errno = 0;
    value = strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX) return 0;
    *id = (int)value;
    return 1;
}

/* Says why a call was refused: -1 is the usual refusal, -2 means something of its own per export. */
static void PrintRefusal(const char* what, int result, const char* minusTwoMeans, const char* otherwise) {
    printf("  %s: not available (%d: %s)\n", what, result, result == -2 ? minusTwoMeans : otherwise);
}

/* The check loads the board's capability bits: on firmware up to 0x510 the thermal map, power
 * status and usage totals answer only after it. */
static int PrintFunctionSupport(const BoardReader* reader, int id) {
    FunctionSupport support;
    const int result = reader->checkFunctionSupport(id, &support);
    if (result != 0) {
        PrintRefusal("controller", result, "its firmware version could not be read",
                     "no board, or firmware older than 0x500");
        return 0;
    }
    printf("  controller: firmware 0x%04X, capability bits 0x%X\n", (unsigned)support.nVersion,
           (unsigned)support.nFunction);
    return 1;
}

static int PrintThermalMap(const BoardReader* reader, int id) {
    ThermalMap map;
    int i;
    int result;
    /* A temperature the controller reports as negative is left as it was: NaN marks it. */
    for (i = 0; i < 4; ++i) map.fValue[i] = NAN;
    result = reader->getThermalMap(id, &map);
    if (result != 0) {
        PrintRefusal("thermal map", result, "unexpected", "no board, or this board does not offer it");
        return 0;
    }
    printf("  thermal map (degrees C):");
    for (i = 0; i < 4; ++i) {
        if (isnan(map.fValue[i])) {
            printf(" n/a");
        } else {
            printf(" %.2f", map.fValue[i]);
        }
    }
    printf("\n");
    return 1;
}

static int PrintPowerStatus(const BoardReader* reader, int id) {
    QLXSWPowerStatus status;
    int i;
    int count;
    const int result = reader->getPowerStatus(id, &status);
    if (result != 0) {
        PrintRefusal("power status", result, "no recent readings", "no board, or this board does not offer it");
        return 0;
    }
    count = status.nCount < 0 ? 0 : status.nCount > 10 ? 10 : status.nCount;
    printf("  power status (controller units):");
    for (i = 0; i < count; ++i) printf(" %.3f", status.fValue[i]);
    printf(", total %.3f, over limit %d\n", status.fTotal, status.nOverLimit);
    return 1;
}

static int ReportBoard(const BoardReader* reader, int id) {
    int checked;
    int thermalRead;
    int powerRead;
    printf("GPU %d\n", id);
    checked = PrintFunctionSupport(reader, id);
    thermalRead = PrintThermalMap(reader, id);
    powerRead = PrintPowerStatus(reader, id);
    return checked && thermalRead && powerRead;
}

int ReportBoards(const BoardReader* reader, int count, char** ids) {
    int allRead = 1;
    int i;
    int id;
    for (i = 0; i < count; ++i) {
        if (!ParseGpuId(ids[i], &id)) {
            fprintf(stderr, "'%s' is not a GPU identifier: give bus numbers such as 1, or -1 for the first board\n",
                    ids[i]);
            return 2;
        }
    }
    if (count == 0) return ReportBoard(reader, -1) ? 0 : 1;
    for (i = 0; i < count; ++i) {
        ParseGpuId(ids[i], &id);
        allRead &= ReportBoard(reader, id);
    }
    return allRead ? 0 : 1;
}
