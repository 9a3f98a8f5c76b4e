// A null pointer in any pointer argument of any export, alone or with others, changes nothing but
// the writes through it: the export does the same device, helper and SDK work as with every
// pointer given, answers the same where that call writes nothing and -1 where it would write, and
// writes nothing at all; before and after the QLXSW device and the sensors were started. And the
// state that work leaves shows in later answers.
#include <climits>
#include <string>
#include <tuple>
#include <vector>

#include "board_bench.h"
#include "debug_capture.h"
#include "helper_bench.h"

namespace {

constexpr char kOneSensorSdk[] = R"({"devices": [{"class": "processor", "sensors": [{"class": "temperature", "name": "Core"}]}]})";

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
    ModuleExport id;
    First first;
    // The pointers the export reads before it does anything: a null one there is refused at once.
    unsigned readFirst;
    int (*call)(const ModuleExports&, int id, Outputs&, unsigned nullMask);
};

// One row per export with pointers: its name, its first argument, the pointers it reads first, and
// the arguments after the identifier, each pointer through Unless(n, its index, ...). How many
// pointers it has is the export table's to say.
#define TVX_ROW(export, first, readFirst, ...)                                                              \
    {ModuleExport::export, First::first, readFirst, [](const ModuleExports& m, int id, Outputs& o, unsigned n) { \
         (void)id;                                                                                          \
         return m.export(__VA_ARGS__);                                                                      \
     }}

constexpr PointerCase kPointerCases[] = {
    TVX_ROW(Check_Function_Support, BoardId, 0, id, Unless(n, 0, &o.board.support)),
    TVX_ROW(Check_MTPD_Support, BoardId, 0, id, Unless(n, 0, &o.board.flag)),
    TVX_ROW(Check_GSensor_Support, BoardId, 0, id, Unless(n, 0, &o.board.flag)),
    TVX_ROW(GetThermalMap, BoardId, 0, id, Unless(n, 0, &o.board.map)),
    TVX_ROW(GetPowerStatus, BoardId, 0, id, Unless(n, 0, &o.board.power)),
    TVX_ROW(GetMileageTotalTime, BoardId, 0, id, Unless(n, 0, &o.board.first), Unless(n, 1, &o.board.second),
            Unless(n, 2, &o.board.third)),
    TVX_ROW(GetMileageLatestTime, BoardId, 0, id, Unless(n, 0, &o.board.first), Unless(n, 1, &o.board.second),
            Unless(n, 2, &o.board.third)),
    TVX_ROW(GetMileageLatestManual, BoardId, 0, id, Unless(n, 0, &o.board.first), Unless(n, 1, &o.board.second),
            Unless(n, 2, &o.board.third)),
    TVX_ROW(GetMileageStatus, BoardId, 0, id, Unless(n, 0, &o.board.state)),
    // The first record's angles go into a diagnostic before the sensor is read.
    TVX_ROW(Get_GSensor_Data, BoardId, 0x1, id, Unless(n, 0, &o.board.raw), Unless(n, 1, &o.board.filtered)),
    TVX_ROW(Get_Sensor_RealTime_Data, Pointer, 0, Unless(n, 0, &o.count), Unless(n, 1, &o.cell)),
    TVX_ROW(Set_Sensor_Status, Pointer, 0x3, Unless(n, 0, &o.givenCount), Unless(n, 1, &o.record)),
    TVX_ROW(Check_QLXSW_Support, Pointer, 0, Unless(n, 0, &o.present)),
    TVX_ROW(Get_QLXSW_PowerStatus, Key, 0, id, Unless(n, 0, &o.power)),
};
#undef TVX_ROW
static_assert(CoversExactly(kPointerCases, [](const ExportRow& e) { return e.pointers > 0; }),
              "one row for each export with a pointer parameter");

std::vector<int64_t> SdkActivity() {
    std::vector<int64_t> counts;
    for (const char* name : {"sdk.loads", "sdk.device_count", "sdk.sensor_count", "sdk.sensor_info", "sdk.refresh"})
        counts.push_back(TorvexBench_Counter(name));
    return counts;
}

// What one call asked of the boards, the sensor SDK and the helper.
using Activity = std::tuple<Strings, std::vector<int64_t>, Strings>;

template <typename Call>
Activity ActivityOf(const HelperBench& helper, Call&& call) {
    Traffic();
    std::vector<int64_t> sdk = SdkActivity();
    const size_t requestsBefore = helper.Requests().size();
    call();
    const Strings i2c = Traffic();
    const std::vector<int64_t> sdkAfter = SdkActivity();
    for (size_t i = 0; i < sdk.size(); ++i) sdk[i] = sdkAfter[i] - sdk[i];
    const Strings requests = helper.Requests();
    return {i2c, sdk, Strings(requests.begin() + static_cast<std::ptrdiff_t>(requestsBefore), requests.end())};
}

// Every non-empty set of an export's pointers left out, for each identifier, each call followed by
// the same call with every pointer given: the same work, the same answer where that call wrote
// nothing and -1 where it wrote; nothing written.
void ExpectNullsChangeOnlyTheWrites(const LoadedModule& module, const HelperBench& helper) {
    for (const PointerCase& c : kPointerCases) {
        for (unsigned nullMask = 1; nullMask < (1u << RowOf(c.id).pointers); ++nullMask) {
            for (int id : c.first == First::Pointer ? std::vector<int>{0} : std::vector<int>{1, INT_MIN, INT_MAX}) {
                SCOPED_TRACE(std::string(RowOf(c.id).name) + ", null mask " + std::to_string(nullMask) + ", id " +
                             std::to_string(id));
                Outputs withNulls;
                int result = 0;
                const Activity nulls =
                    ActivityOf(helper, [&] { result = c.call(module.api(), id, withNulls, nullMask); });
                Outputs given;
                int full = 0;
                const Activity all = ActivityOf(helper, [&] { full = c.call(module.api(), id, given, 0); });

                EXPECT_TRUE(withNulls.Untouched());
                const bool refusedFirst = (nullMask & c.readFirst) != 0;
                EXPECT_EQ(refusedFirst || !given.Untouched() ? -1 : full, result) << "with every pointer: " << full;
                const Activity none{{}, {0, 0, 0, 0, 0}, {}};
                EXPECT_EQ(refusedFirst ? none : all, nulls);
            }
        }
    }
}

}  // namespace

TEST(NullPointers, ChangeOnlyTheWritesWithABoardBeforeAndAfterTheStarts) {
    HelperBench helper("", {HelperBuild::X86}, Gpu(1, 0x511, R"("0xFD": 7)"), kOneSensorSdk);
    LoadedModule module;
    ExpectNullsChangeOnlyTheWrites(module, helper);
    // The QLXSW device found and the sensors started, through a helper that serves as many builds
    // in turn as the calls tell one to end.
    helper.Serve("x86,x86,x86,x86");
    uint8_t present = 0;
    ASSERT_EQ(1, module->Check_QLXSW_Support(&present));
    ASSERT_EQ(0, module->GetSystermSensorInfo(0));
    ExpectNullsChangeOnlyTheWrites(module, helper);
}

// Without a board every board export refuses, also with every pointer given. (The exports that do
// not address a board act alike with and without one.)
TEST(NullPointers, WithoutABoardEveryBoardExportRefuses) {
    HelperBench helper("", {HelperBuild::X86}, "", kOneSensorSdk);
    LoadedModule module;
    DebugOutputCapture debug;
    for (int id : {0, 1, 255, INT_MIN, INT_MAX}) {
        for (const PointerCase& c : kPointerCases) {
            if (c.first != First::BoardId) continue;
            Outputs outputs;
            EXPECT_EQ(-1, c.call(module.api(), id, outputs, 0)) << RowOf(c.id).name << ", id " << id;
            EXPECT_TRUE(outputs.Untouched()) << RowOf(c.id).name << ", id " << id;
        }
        EXPECT_EQ(-1, module->SetMileage_Rec(id, Recording)) << id;
        EXPECT_EQ(-1, module->SetMileage_Rec_Stop(id)) << id;
    }
    EXPECT_EQ(Strings{}, Traffic());
    EXPECT_EQ(L"", debug.Text());
}

// The state that the work before a write changes shows in the answers that follow.
TEST(NullPointers, LeaveWhatTheWorkBeforeTheWriteChanged) {
    HelperBench helper("", {HelperBuild::X86}, Gpu(1, 0x511, R"("0xFD": 7)"), kOneSensorSdk);
    LoadedModule module;

    // The capability bits are read again and kept: without bit 2 the thermal map's gate closes.
    SetRegisters(0, 0xFD, {3});
    EXPECT_EQ(-1, module->Check_Function_Support(1, nullptr));
    ThermalMap map{};
    EXPECT_EQ(-1, module->GetThermalMap(1, &map));

    QLXSWPowerStatus power{};

    // The helper is asked, but the device is not taken as found; a reading query that starts
    // the helper has started it for the next one.
    helper.Serve("x86,x86");
    EXPECT_EQ(-1, module->Check_QLXSW_Support(nullptr));
    EXPECT_EQ(-4, module->Get_QLXSW_PowerStatus(1, &power));
    uint8_t present = 0;
    ASSERT_EQ(1, module->Check_QLXSW_Support(&present));
    EXPECT_EQ(-1, module->Get_QLXSW_PowerStatus(1, nullptr));
    EXPECT_EQ(Strings({"x86", "x86", "x86"}), helper.Launches()) << "two probes and the reading query";
    module->Get_QLXSW_PowerStatus(1, &power);
    EXPECT_EQ(3u, helper.Launches().size()) << "the helper was started already";
}
