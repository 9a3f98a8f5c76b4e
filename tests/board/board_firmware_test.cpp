// How the controller's firmware version decides what a board offers: the probe at load, the two
// version checks, and the gates they feed.
#include <gtest/gtest.h>

#include "board_bench.h"
#include "debug_capture.h"
#include "loaded_module.h"
#include "poisoned.h"
#include "stdout_capture.h"

namespace {

using Strings = std::vector<std::string>;

void ExpectEveryTransactionAt100kOnTheBoard(const std::vector<TorvexBenchI2cRecord>& log) {
    for (const TorvexBenchI2cRecord& record : log) {
        EXPECT_EQ(TorvexBenchCall_NvI2CReadEx, record.nCall);
        EXPECT_EQ(kBoard, record.nDevAddress);
        EXPECT_EQ(4u, record.nvI2cSpeedKhz) << "register " << record.nRegister;
        EXPECT_EQ(1u, record.nvRegAddrSize);
        EXPECT_EQ(0, record.nResult);
    }
}

// Lines whose start and end are fixed; the middle is the GPU handle, which the bench chooses.
int CountLines(const DebugOutputCapture& debug, const std::wstring& start, const std::wstring& end) {
    int count = 0;
    for (const std::wstring& line : debug.Lines()) {
        const bool starts = line.compare(0, start.size(), start) == 0;
        const bool ends = line.size() >= start.size() + end.size() &&
                          line.compare(line.size() - end.size(), end.size(), end) == 0;
        if (starts && ends) ++count;
    }
    return count;
}

}  // namespace

TEST(BoardFirmware, CapabilityFirmwareIsProbedAndServedWithExactTraffic) {
    LoadNvidiaMachine({{1, CapabilityBoard(0x511, 0x07)}});
    DebugOutputCapture debug;
    StdoutCapture out;
    LoadedModule module;

    // The temporary record probes the controller only; the registry's copy also the tilt sensor.
    // Each probe that finds the controller makes two drivers, each reading its counter baseline.
    std::vector<TorvexBenchI2cRecord> log = TakeLog();
    EXPECT_EQ(Strings({"0x1E", "0x1F", "0xFC", "0xFD", "0xC0/12", "0xC0/12",
                       "0x1E", "0x1F", "0xFC", "0xFD", "0xC0/12", "0xC0/12", "0x4C", "0x4D", "0x4E", "0x4F"}),
              Transactions(log));
    ExpectEveryTransactionAt100kOnTheBoard(log);
    EXPECT_EQ("", out.Finish());
    EXPECT_EQ(0, CountLines(debug, L"m_bSupportMPT :", L"X "));
    EXPECT_EQ(1, CountLines(debug, L"CBMI321 :1 ", L"X "));

    ThermalMap map{};
    QLXSWPowerStatus power{};
    uint32_t a = 0, b = 0, c = 0;
    GSensorData raw{}, filtered{};
    EXPECT_EQ(0, module->GetThermalMap(1, &map));
    EXPECT_EQ(0, module->GetPowerStatus(1, &power));
    EXPECT_EQ(0, module->GetMileageTotalTime(1, &a, &b, &c));
    EXPECT_EQ(0, module->GetMileageLatestTime(1, &a, &b, &c));
    EXPECT_EQ(0, module->Get_GSensor_Data(1, &raw, &filtered));
    log = TakeLog();
    EXPECT_EQ(Strings({"0x60/16", "0x80/24", "0xC0/12", "0xC0/12", "0x76", "0x70", "0x71", "0x72", "0x73", "0x74",
                       "0x75"}),
              Transactions(log));
    ExpectEveryTransactionAt100kOnTheBoard(log);

    FunctionSupport support{};
    EXPECT_EQ(0, module->Check_Function_Support(1, &support));
    EXPECT_EQ(0x7u, support.nFunction);
    EXPECT_EQ(0x511u, support.nVersion);
    uint8_t supported = 0xCD;
    EXPECT_EQ(0, module->Check_MTPD_Support(1, &supported));
    EXPECT_EQ(1, supported);
    log = TakeLog();
    EXPECT_EQ(Strings({"0x1E", "0x1F", "0xFC", "0xFD", "0x1E", "0x1F"}), Transactions(log));
    ExpectEveryTransactionAt100kOnTheBoard(log);
}

TEST(BoardFirmware, Version0x510IdentifiesItselfAndGetsItsCapabilitiesOnlyFromTheCheck) {
    LoadNvidiaMachine({{1, IdentifyingBoard(0x510, 0x15, 0x89).Set(0xFD, {0x35})}});
    DebugOutputCapture debug;
    StdoutCapture out;
    LoadedModule module;

    EXPECT_EQ(0, CountReads(TakeLog(), 0, 0xFD));
    EXPECT_EQ("0xB2 = 15\n0xB2 = 15\n", out.Finish());
    // One line per successful identification: the temporary's and the copy's.
    EXPECT_EQ(2, CountLines(debug, L"m_bSupportMPT :1 ", L"X "));

    // Supported, but without capability bits: only the gates that ask for the controller open.
    Poisoned<ThermalMap> refusedMap;
    Poisoned<uint32_t> a, b, c;
    EXPECT_EQ(-1, module->GetThermalMap(1, refusedMap.get()));
    EXPECT_EQ(-1, module->GetMileageTotalTime(1, a.get(), b.get(), c.get()));
    EXPECT_TRUE(refusedMap.Untouched() && a.Untouched() && b.Untouched() && c.Untouched());
    EXPECT_EQ(0, module->GetMileageLatestTime(1, a.get(), b.get(), c.get()));
    int32_t state = -7;
    EXPECT_EQ(0, module->GetMileageStatus(1, &state));
    EXPECT_EQ(Stopped, state);

    // From 0x510 on the check takes bits 0 to 3 of register 0xFD, and the gates follow.
    FunctionSupport support{};
    EXPECT_EQ(0, module->Check_Function_Support(1, &support));
    EXPECT_EQ(0x5u, support.nFunction);
    EXPECT_EQ(0x510u, support.nVersion);
    ThermalMap map{};
    EXPECT_EQ(0, module->GetThermalMap(1, &map));
    Poisoned<QLXSWPowerStatus> power;
    EXPECT_EQ(-1, module->GetPowerStatus(1, power.get()));
    EXPECT_TRUE(power.Untouched());
}

TEST(BoardFirmware, OlderFirmwareThatFailsToIdentifyItselfIsNotSupported) {
    // GPU 0 gives the right first identification byte but not the second, GPU 1 the wrong first.
    LoadNvidiaMachine({{1, IdentifyingBoard(0x400, 0x15, 0x42)}, {2, IdentifyingBoard(0x400, 0x16, 0x89)}});
    StdoutCapture out;
    LoadedModule module;

    // Load order: GPU 0's temporary and copy, GPU 1's temporary and copy, then GPU 0's record
    // moved into the larger storage.
    EXPECT_EQ("0xB2 = 15\n0xB2 = 15\n0xB2 = 16\n0xB2 = 16\n0xB2 = 15\n", out.Finish());
    const std::vector<TorvexBenchI2cRecord> log = TakeLog();
    EXPECT_EQ(3, CountReads(log, 0, 0x21));
    EXPECT_EQ(0, CountReads(log, 1, 0x21));
    EXPECT_EQ(0, CountReads(log, 0, 0xC0) + CountReads(log, 1, 0xC0));  // no controller driver was made

    for (int id : {1, 2}) {
        Poisoned<uint32_t> a, b, c;
        Poisoned<int32_t> state;
        Poisoned<FunctionSupport> support;
        EXPECT_EQ(-1, module->GetMileageLatestTime(id, a.get(), b.get(), c.get()));
        EXPECT_EQ(-1, module->GetMileageStatus(id, state.get()));
        EXPECT_EQ(-1, module->SetMileage_Rec(id, Recording));
        EXPECT_EQ(-1, module->Check_Function_Support(id, support.get()));
        EXPECT_TRUE(a.Untouched() && state.Untouched() && support.Untouched());
        uint8_t supported = 0xCD;
        EXPECT_EQ(-1, module->Check_MTPD_Support(id, &supported));
        EXPECT_EQ(0, supported);
    }
}

TEST(BoardFirmware, VersionChecksDrawTheLineAt0x500) {
    LoadNvidiaMachine({{1, IdentifyingBoard(0x50A, 0x15, 0x89)}, {2, IdentifyingBoard(0x4FF, 0x15, 0x89)}});
    LoadedModule module;

    FunctionSupport support{};
    EXPECT_EQ(0, module->Check_Function_Support(1, &support));
    EXPECT_EQ(0xFu, support.nFunction);
    EXPECT_EQ(0x50Au, support.nVersion);
    uint8_t supported = 0xCD;
    EXPECT_EQ(0, module->Check_MTPD_Support(1, &supported));
    EXPECT_EQ(1, supported);

    Poisoned<FunctionSupport> refused;
    EXPECT_EQ(-1, module->Check_Function_Support(2, refused.get()));
    EXPECT_TRUE(refused.Untouched());
    supported = 0xCD;
    EXPECT_EQ(-1, module->Check_MTPD_Support(2, &supported));
    EXPECT_EQ(0, supported);
}

TEST(BoardFirmware, UnreadableVersionOverwritesTheRecordsVersion) {
    LoadNvidiaMachine({{1, CapabilityBoard(0x511, 0x07)}});
    LoadedModule module;
    ASSERT_EQ(0, TorvexBench_FailRegister(0, kBoard, 0x1F, -1, 0));

    Poisoned<FunctionSupport> support;
    EXPECT_EQ(-2, module->Check_Function_Support(1, support.get()));
    EXPECT_TRUE(support.Untouched());
    uint8_t supported = 0xCD;
    EXPECT_EQ(-2, module->Check_MTPD_Support(1, &supported));
    EXPECT_EQ(0, supported);
    // The record now holds version 0x0011 (the high byte counted as 0), below every gate.
    Poisoned<ThermalMap> map;
    EXPECT_EQ(-1, module->GetThermalMap(1, map.get()));
    EXPECT_TRUE(map.Untouched());

    ASSERT_EQ(0, TorvexBench_FailRegister(0, kBoard, 0x1F, 0, 0));
    FunctionSupport restored{};
    EXPECT_EQ(0, module->Check_Function_Support(1, &restored));
    EXPECT_EQ(0x511u, restored.nVersion);
    EXPECT_EQ(0, module->GetThermalMap(1, map.get()));
}

TEST(BoardFirmware, FunctionGatesNeedAVersionAbove328) {
    LoadNvidiaMachine({{1, CapabilityBoard(0x511, 0x07)}});
    LoadedModule module;
    FunctionSupport support{};

    // Older version words keep the capability bits the probe loaded, so only the version gates.
    SetBoardRegisters(0, 0x1E, {0x49, 0x01});
    EXPECT_EQ(-1, module->Check_Function_Support(1, &support));
    ThermalMap map{};
    EXPECT_EQ(0, module->GetThermalMap(1, &map));

    SetBoardRegisters(0, 0x1E, {0x48, 0x01});
    EXPECT_EQ(-1, module->Check_Function_Support(1, &support));
    Poisoned<ThermalMap> refused;
    Poisoned<QLXSWPowerStatus> power;
    Poisoned<uint32_t> a, b, c;
    EXPECT_EQ(-1, module->GetThermalMap(1, refused.get()));
    EXPECT_EQ(-1, module->GetPowerStatus(1, power.get()));
    EXPECT_EQ(-1, module->GetMileageTotalTime(1, a.get(), b.get(), c.get()));
    EXPECT_TRUE(refused.Untouched() && power.Untouched() && a.Untouched());
}
