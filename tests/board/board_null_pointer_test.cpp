// A null pointer in any pointer argument of a board export: refused with -1 before the board is
// looked at, whatever the identifier, with nothing written through the other pointers.
#include <climits>
#include <functional>

#include "board_bench.h"
#include "debug_capture.h"

namespace {

// The pointer at position `index` of a call, or null when that is the one to leave out.
template <typename T>
T* Unless(int nullIndex, int index, T* pointer) {
    return nullIndex == index ? nullptr : pointer;
}

struct PointerCase {
    const char* name;
    int pointers;  // how many pointer arguments the export takes
    std::function<int(const ModuleExports&, int id, BoardOutputs&, int nullIndex)> call;
};

const PointerCase kPointerCases[] = {
    {"Check_Function_Support", 1,
     [](const ModuleExports& m, int id, BoardOutputs& o, int n) {
         return m.Check_Function_Support(id, Unless(n, 0, &o.support));
     }},
    {"Check_MTPD_Support", 1,
     [](const ModuleExports& m, int id, BoardOutputs& o, int n) {
         return m.Check_MTPD_Support(id, Unless(n, 0, &o.flag));
     }},
    {"Check_GSensor_Support", 1,
     [](const ModuleExports& m, int id, BoardOutputs& o, int n) {
         return m.Check_GSensor_Support(id, Unless(n, 0, &o.flag));
     }},
    {"GetThermalMap", 1,
     [](const ModuleExports& m, int id, BoardOutputs& o, int n) {
         return m.GetThermalMap(id, Unless(n, 0, &o.map));
     }},
    {"GetPowerStatus", 1,
     [](const ModuleExports& m, int id, BoardOutputs& o, int n) {
         return m.GetPowerStatus(id, Unless(n, 0, &o.power));
     }},
    {"GetMileageTotalTime", 3,
     [](const ModuleExports& m, int id, BoardOutputs& o, int n) {
         return m.GetMileageTotalTime(id, Unless(n, 0, &o.first), Unless(n, 1, &o.second), Unless(n, 2, &o.third));
     }},
    {"GetMileageLatestTime", 3,
     [](const ModuleExports& m, int id, BoardOutputs& o, int n) {
         return m.GetMileageLatestTime(id, Unless(n, 0, &o.first), Unless(n, 1, &o.second), Unless(n, 2, &o.third));
     }},
    {"GetMileageLatestManual", 3,
     [](const ModuleExports& m, int id, BoardOutputs& o, int n) {
         return m.GetMileageLatestManual(id, Unless(n, 0, &o.first), Unless(n, 1, &o.second),
                                         Unless(n, 2, &o.third));
     }},
    {"GetMileageStatus", 1,
     [](const ModuleExports& m, int id, BoardOutputs& o, int n) {
         return m.GetMileageStatus(id, Unless(n, 0, &o.state));
     }},
    {"Get_GSensor_Data", 2,
     [](const ModuleExports& m, int id, BoardOutputs& o, int n) {
         return m.Get_GSensor_Data(id, Unless(n, 0, &o.raw), Unless(n, 1, &o.filtered));
     }},
};

// Every pointer of every export left out in turn, for a matching identifier and both extremes.
void ExpectEveryNullPointerRefused(const LoadedModule& module) {
    DebugOutputCapture debug;
    for (const PointerCase& c : kPointerCases) {
        for (int nullIndex = 0; nullIndex < c.pointers; ++nullIndex) {
            for (int id : {1, INT_MIN, INT_MAX}) {
                SCOPED_TRACE(std::string(c.name) + ", pointer " + std::to_string(nullIndex) + ", id " +
                             std::to_string(id));
                BoardOutputs outputs;
                EXPECT_EQ(-1, c.call(module.api(), id, outputs, nullIndex));
                EXPECT_TRUE(outputs.Untouched());
            }
        }
    }
    EXPECT_EQ(Strings{}, Traffic());
    EXPECT_EQ(L"", debug.Text());
}

}  // namespace

TEST(BoardNullPointers, AreRefusedOnABoardThatServesEveryExport) {
    LoadMachine(Gpu(1, 0x511, R"("0xFD": 7)"));
    LoadedModule module;
    Traffic();
    ExpectEveryNullPointerRefused(module);

    // With every pointer given the same calls are served, so the refusals above were the null's.
    for (const PointerCase& c : kPointerCases) {
        BoardOutputs outputs;
        EXPECT_NE(-1, c.call(module.api(), 1, outputs, -1)) << c.name;
    }
}

TEST(BoardNullPointers, AreRefusedWithoutABoard) {
    LoadMachine("");
    LoadedModule module;
    ExpectEveryNullPointerRefused(module);
}
