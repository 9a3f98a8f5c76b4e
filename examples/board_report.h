/* What both example hosts share: the three exports they call, and the report they print. */
#ifndef BOARD_REPORT_H
#define BOARD_REPORT_H

#include "TorvexModule.h"

typedef struct BoardReader {
    PFN_Torvex_Api_Check_Function_Support checkFunctionSupport;
    PFN_Torvex_Api_GetThermalMap getThermalMap;
    PFN_Torvex_Api_GetPowerStatus getPowerStatus;
} BoardReader;

/* Checks the board each GPU identifier in ids[0..count-1] addresses, or the first board
 * (identifier -1) when count is 0, and prints its firmware, thermal map and power status. Returns
 * the program's exit code: 0 when every call succeeded, 1 when any was refused, 2 for an argument
 * that is no GPU identifier (nothing is read then). */
int ReportBoards(const BoardReader* reader, int count, char** ids);

#endif
