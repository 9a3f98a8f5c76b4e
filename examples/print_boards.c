/* A host that links TorvexModule's import library: Windows loads TorvexModule.dll (from the
 * program's folder first) before main runs, and the program calls the exports by name.
 *
 *   print_boards [GPU-ID ...]     GPU identifiers are PCI bus numbers; none: the first board (-1) */
#include "board_report.h"

int main(int argc, char** argv) {
    BoardReader reader;
    reader.checkFunctionSupport = Torvex_Api_Check_Function_Support;
    reader.getThermalMap = Torvex_Api_GetThermalMap;
    reader.getPowerStatus = Torvex_Api_GetPowerStatus;
    return ReportBoards(&reader, argc - 1, argv + 1);
}
