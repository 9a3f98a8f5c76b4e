// A null pointer in any pointer argument of any export, alone or with others: refused with -1
// before anything else happens, whatever the identifier, with nothing written through the other
// pointers and nothing asked of the boards, the helper or the sensor SDK; on a machine with a board
// and on one without, before and after the QLXSW device and the sensors were started.
#include <climits>
#include <string>
#include <vector>

#include "board_bench.h"
#include "debug_capture.h"
#include "helper_bench.h"

namespace {

constexpr char kSdk[] = R"({"devices": [{"class": "processor", "sensors": [{"class": "temperature", "name": "Core"}]}]})";

// Every output an export can write, poisoned, and the inputs the sensor-status export reads.
struct Outputs {
    BoardOutputs board;
    QLXSWPowerStatus power = Poisoned<QLXSWPowerStatus>();
    uint8_t present = Poisoned<uint8_t>();
    int32_t count = Poisoned<int32_t>();
    SensorRecord record = Poisoned<SensorRecord>();
    SensorRecord* cell = &record;
    int32_t givenCount = 1;

    bool Untouched() const {
        return board.Untouched() && ::Untouched(power, present, count, record) && cell == &record && givenCount == 1;
    }
};

// Pointer `index` of a call, or null when the mask says so.
template <typename T>
T* Unless(unsigned nullMask, int index, T* pointer) {
    return (nullMask >> index) & 1 ? nullptr : pointer;
}

// What the first argument is.
enum class First { BoardId, Key, Pointer };

struct PointerCase {
    const char* name;
    int pointers;
    First first;
    int (*call)(const ModuleExports&, int id, Outputs&, unsigned nullMask);
};

// One row per export with pointers: its name, how many pointers, its first argument, and the
// arguments after the identifier, each pointer through Unless(n, its index, ...).
#define TVX_ROW(export, pointers, first, ...)                                                        \
    {#export, pointers, First::first, [](const ModuleExports& m, int id, Outputs& o, unsigned n) { \
         (void)id;                                                                                   \
         return m.export(__VA_ARGS__);                                                               \
     }}

const PointerCase kPointerCases[] = {
    TVX_ROW(Check_Function_Support, 1, BoardId, id, Unless(n, 0, &o.board.support)),
    TVX_ROW(Check_MTPD_Support, 1, BoardId, id, Unless(n, 0, &o.board.flag)),
    TVX_ROW(Check_GSensor_Support, 1, BoardId, id, Unless(n, 0, &o.board.flag)),
    TVX_ROW(GetThermalMap, 1, BoardId, id, Unless(n, 0, &o.board.map)),
    TVX_ROW(GetPowerStatus, 1, BoardId, id, Unless(n, 0, &o.board.power)),
    TVX_ROW(GetMileageTotalTime, 3, BoardId, id, Unless(n, 0, &o.board.first), Unless(n, 1, &o.board.second),
            Unless(n, 2, &o.board.third)),
    TVX_ROW(GetMileageLatestTime, 3, BoardId, id, Unless(n, 0, &o.board.first), Unless(n, 1, &o.board.second),
            Unless(n, 2, &o.board.third)),
    TVX_ROW(GetMileageLatestManual, 3, BoardId, id, Unless(n, 0, &o.board.first), Unless(n, 1, &o.board.second),
            Unless(n, 2, &o.board.third)),
    TVX_ROW(GetMileageStatus, 1, BoardId, id, Unless(n, 0, &o.board.state)),
    TVX_ROW(Get_GSensor_Data, 2, BoardId, id, Unless(n, 0, &o.board.raw), Unless(n, 1, &o.board.filtered)),
    TVX_ROW(Get_Sensor_RealTime_Data, 2, Pointer, Unless(n, 0, &o.count), Unless(n, 1, &o.cell)),
    TVX_ROW(Set_Sensor_Status, 2, Pointer, Unless(n, 0, &o.givenCount), Unless(n, 1, &o.record)),
    TVX_ROW(Check_QLXSW_Support, 1, Pointer, Unless(n, 0, &o.present)),
    TVX_ROW(Get_QLXSW_PowerStatus, 1, Key, id, Unless(n, 0, &o.power)),
};
#undef TVX_ROW

std::vector<int64_t> SdkActivity() {
    std::vector<int64_t> counts;
    for (const char* name : {"sdk.loads", "sdk.device_count", "sdk.sensor_count", "sdk.sensor_info", "sdk.refresh"})
        counts.push_back(TorvexBench_Counter(name));
    return counts;
}

// Every non-empty set of an export's pointers left out, for each identifier: -1, nothing written,
// nothing asked of anyone, nothing said.
void ExpectEveryNullPointerRefused(const LoadedModule& module, const HelperBench& helper) {
    DebugOutputCapture debug;
    const size_t requests = helper.Requests().size();
    const std::vector<int64_t> sdk = SdkActivity();
    for (const PointerCase& c : kPointerCases) {
        for (unsigned nullMask = 1; nullMask < (1u << c.pointers); ++nullMask) {
            for (int id : c.first == First::Pointer ? std::vector<int>{0} : std::vector<int>{1, INT_MIN, INT_MAX}) {
                SCOPED_TRACE(std::string(c.name) + ", null mask " + std::to_string(nullMask) + ", id " +
                             std::to_string(id));
                Outputs outputs;
                EXPECT_EQ(-1, c.call(module.api(), id, outputs, nullMask));
                EXPECT_TRUE(outputs.Untouched());
            }
        }
    }
    EXPECT_EQ(Strings{}, Traffic());
    EXPECT_EQ(requests, helper.Requests().size());
    EXPECT_EQ(sdk, SdkActivity());
    EXPECT_EQ(L"", debug.Text());
}

// The QLXSW device found and the sensors started, through a helper that serves as many builds in
// turn as the calls below tell one to end.
void StartQLXSWAndSensors(const LoadedModule& module, HelperBench& helper) {
    helper.Serve("x86,x86,x86");
    uint8_t present = 0;
    ASSERT_EQ(1, module->Check_QLXSW_Support(&present));
    ASSERT_EQ(0, module->GetSystermSensorInfo(0));
    Traffic();
}

}  // namespace

TEST(NullPointers, AreRefusedWithABoardBeforeAndAfterTheStarts) {
    HelperBench helper("", {HelperBuild::X86}, Gpu(1, 0x511, R"("0xFD": 7)"), kSdk);
    LoadedModule module;
    Traffic();
    ExpectEveryNullPointerRefused(module, helper);
    StartQLXSWAndSensors(module, helper);
    ExpectEveryNullPointerRefused(module, helper);

    // With every pointer given the same calls are served, so the refusals above were the nulls'.
    for (const PointerCase& c : kPointerCases) {
        Outputs outputs;
        EXPECT_NE(-1, c.call(module.api(), 1, outputs, 0)) << c.name;
    }
}

TEST(NullPointers, AreRefusedWithoutABoardBeforeAndAfterTheStarts) {
    HelperBench helper("", {HelperBuild::X86}, "", kSdk);
    LoadedModule module;
    ExpectEveryNullPointerRefused(module, helper);
    StartQLXSWAndSensors(module, helper);
    ExpectEveryNullPointerRefused(module, helper);

    // Without a board every board export refuses, also with every pointer given.
    DebugOutputCapture debug;
    for (int id : {0, 1, 255, INT_MIN, INT_MAX}) {
        for (const PointerCase& c : kPointerCases) {
            if (c.first != First::BoardId) continue;
            Outputs outputs;
            EXPECT_EQ(-1, c.call(module.api(), id, outputs, 0)) << c.name << ", id " << id;
            EXPECT_TRUE(outputs.Untouched()) << c.name << ", id " << id;
        }
        EXPECT_EQ(-1, module->SetMileage_Rec(id, Recording)) << id;
        EXPECT_EQ(-1, module->SetMileage_Rec_Stop(id)) << id;
    }
    EXPECT_EQ(Strings{}, Traffic());
    EXPECT_EQ(L"", debug.Text());
}
