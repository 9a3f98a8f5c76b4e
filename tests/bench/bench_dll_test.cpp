// The bench's DLLs as a host process sees them: loaded by name from the system directory,
// entry points found with GetProcAddress, every call made through the vendors' declared pointer
// types, and every calling convention measured on the stack.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "TorvexBench.h"
#include "adlx_ref.h"
#include "call_probe.h"
#include "nv_request.h"
#include "vendor_abi.h"
#include "win32_handles.h"

namespace {

using Library = UniqueModule;

Library Load(const wchar_t* name) { return Library(LoadLibraryW(name)); }

template <typename Fn>
Fn Export(const Library& library, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library.get(), name)));
}

std::string Scenario(const char* file) { return std::string("Z:") + TORVEX_BENCH_SCENARIO_DIR + "/" + file; }

void LoadScenario(const char* file) { ASSERT_EQ(0, TorvexBench_LoadScenarioFile(Scenario(file).c_str())) << TorvexBench_LastError(); }

// The NVAPI functions of a loaded nvapi.dll, initialised, with the first GPU's handle.
struct Nvapi {
    Library library = Load(L"nvapi.dll");
    nvapi::QueryInterfaceFn query = Export<nvapi::QueryInterfaceFn>(library, "nvapi_QueryInterface");
    nvapi::NvPhysicalGpuHandle gpus[nvapi::kMaxPhysicalGpus] = {};
    nvapi::NvU32 count = 0;

    void* Function(nvapi::NvU32 id) const { return query(id); }
    void Start() {
        ASSERT_TRUE(library && query);
        ASSERT_EQ(0, reinterpret_cast<nvapi::InitializeFn>(Function(nvapi::kIdInitialize))());
        ASSERT_EQ(0, reinterpret_cast<nvapi::EnumPhysicalGPUsFn>(Function(nvapi::kIdEnumPhysicalGPUs))(gpus, &count));
    }
};

int g_allocations = 0;
void* TVX_STDCALL AllocateForAdl(int size) {
    ++g_allocations;
    return HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(size));
}
void TVX_STDCALL ReleaseForAdlx(void** buffer) {
    if (buffer && *buffer) HeapFree(GetProcessHeap(), 0, *buffer);
    if (buffer) *buffer = nullptr;
}

}  // namespace

TEST(BenchDll, NvapiEntryPointsAreCdeclAndReadTheBoard) {
    TorvexBench_LoadDefaultScenario();
    Nvapi nv;
    ASSERT_TRUE(nv.library) << GetLastError();
    EXPECT_EQ(0u, CallAndCountPops(reinterpret_cast<const void*>(nv.query), {nvapi::kIdI2CReadEx}).bytesPopped);
    EXPECT_EQ(nullptr, nv.Function(nvapi::kIdBeforeCallHook)) << "the default machine has no hooks";

    const ProbedCall init = CallAndCountPops(nv.Function(nvapi::kIdInitialize), {});
    EXPECT_EQ(0u, init.result);
    EXPECT_EQ(0u, init.bytesPopped);
    const ProbedCall list = CallAndCountPops(nv.Function(nvapi::kIdEnumPhysicalGPUs), {Word(nv.gpus), Word(&nv.count)});
    EXPECT_EQ(0u, list.result);
    EXPECT_EQ(0u, list.bytesPopped);
    ASSERT_EQ(1u, nv.count);
    nvapi::NvU32 bus = 255;
    const ProbedCall busId = CallAndCountPops(nv.Function(nvapi::kIdGpuGetBusId), {Word(nv.gpus[0]), Word(&bus)});
    EXPECT_EQ(0u, busId.bytesPopped);
    EXPECT_EQ(1u, bus);

    NvRequest request;
    request.reg = 0x1E;
    request.info.cbSize = 2;
    const ProbedCall read = CallAndCountPops(nv.Function(nvapi::kIdI2CReadEx),
                                             {Word(nv.gpus[0]), Word(&request.info), Word(&request.flags)});
    EXPECT_EQ(0u, read.result);
    EXPECT_EQ(0u, read.bytesPopped);
    EXPECT_EQ(0x20, request.data[0]);
    EXPECT_EQ(0x05, request.data[1]);
    EXPECT_EQ(1, TorvexBench_Counter("nvapi.loads"));
    EXPECT_EQ(0, TorvexBench_Counter("atiadlxy.loads") + TorvexBench_Counter("amdadlx32.loads"));
}

TEST(BenchDll, ManyCallsThroughTheDeclaredPointerTypesKeepTheStackBalanced) {
    TorvexBench_LoadDefaultScenario();
    Nvapi nv;
    nv.Start();
    const auto read = reinterpret_cast<nvapi::I2CReadExFn>(nv.Function(nvapi::kIdI2CReadEx));
    TorvexBench_SetLogEnabled(0);
    NvRequest request;
    request.reg = 0x80;
    request.info.cbSize = 24;
    constexpr int kCalls = 200000;
    int failures = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kCalls; ++i) failures += read(nv.gpus[0], &request.info, &request.flags) != 0;
    const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(0, failures);
    EXPECT_EQ(kCalls, TorvexBench_Counter("nvapi.i2c"));
    EXPECT_EQ(0, TorvexBench_LogCount()) << "the log was off";
    std::printf("NvAPI_I2CReadEx of 24 bytes with the log off: %.3f us per call\n", took.count() / kCalls);
}

TEST(BenchDll, HooksAreHandedOutWhenTheScenarioAsks) {
    ASSERT_EQ(0, TorvexBench_LoadScenarioText(R"({"nvapi": {"hooks": "before-and-after"},
        "gpus": [{"vendor": "nvidia", "bus": 1}]})")) << TorvexBench_LastError();
    Nvapi nv;
    nvapi::NvU32 context[2] = {0, 0};
    const ProbedCall before = CallAndCountPops(nv.Function(nvapi::kIdBeforeCallHook), {nvapi::kIdI2CReadEx, Word(context)});
    const ProbedCall after = CallAndCountPops(nv.Function(nvapi::kIdAfterCallHook), {nvapi::kIdI2CReadEx, 0, 0, 0});
    EXPECT_EQ(0u, before.bytesPopped);
    EXPECT_EQ(0u, after.bytesPopped);
    EXPECT_EQ(1, TorvexBench_Counter("nvapi.hook_before"));
    EXPECT_EQ(1, TorvexBench_Counter("nvapi.hook_after"));
}

TEST(BenchDll, AdlAndAdlxUseTheirConventionsAndReferencesReturnToZero) {
    LoadScenario("amd-mapping.json");
    Library adlLibrary = Load(L"atiadlxy.dll");
    Library adlxLibrary = Load(L"amdadlx32.dll");
    ASSERT_TRUE(adlLibrary && adlxLibrary) << GetLastError();

    adl::ADL_CONTEXT_HANDLE context = nullptr;
    const ProbedCall create = CallAndCountPops(
        reinterpret_cast<const void*>(Export<adl::Main_ControlX2_CreateFn>(adlLibrary, "ADL2_Main_ControlX2_Create")),
        {Word(&AllocateForAdl), 1, Word(&context), 1});
    EXPECT_EQ(0u, create.result);
    EXPECT_EQ(0u, create.bytesPopped);
    EXPECT_EQ(1, g_allocations) << "ADL's memory comes from the caller";

    for (const char* name : {"ADLXQueryFullVersion", "ADLXQueryVersion", "ADLXInitialize",
                             "ADLXInitializeWithIncompatibleDriver", "ADLXInitializeWithCallerAdl", "ADLXTerminate"})
        EXPECT_NE(nullptr, GetProcAddress(adlxLibrary.get(), name)) << name;
    adlx::IADLXSystem* system = nullptr;
    adlx::IADLMapping* mapping = nullptr;
    const uint64_t version = adlx::kFullVersion;
    const ProbedCall start = CallAndCountPops(
        reinterpret_cast<const void*>(Export<adlx::ADLXInitializeWithCallerAdlFn>(adlxLibrary, "ADLXInitializeWithCallerAdl")),
        {static_cast<uint32_t>(version), static_cast<uint32_t>(version >> 32), Word(&system), Word(&mapping),
         Word(context), Word(&ReleaseForAdlx)});
    EXPECT_EQ(0u, start.result);
    EXPECT_EQ(0u, start.bytesPopped);
    EXPECT_EQ(1, TorvexBench_Counter("adlx.release_callback"));
    ASSERT_TRUE(system && mapping);

    AdlxRef<adlx::IADLXGPUList> list;
    const ProbedCall getGpus = CallAndCountPops(reinterpret_cast<const void*>(system->pVtbl->GetGPUs),
                                                {Word(system), Word(list.ReleaseAndGetAddressOf())});
    EXPECT_EQ(0u, getGpus.result);
    EXPECT_EQ(8u, getGpus.bytesPopped) << "stdcall: this and one argument";
    EXPECT_EQ(4u, CallAndCountPops(reinterpret_cast<const void*>(list.Get()->pVtbl->Empty), {Word(list.Get())}).bytesPopped);
    EXPECT_EQ(2u, list.Get()->pVtbl->End(list.Get()));

    AdlxRef<adlx::IADLXGPU> gpu;
    const ProbedCall at = CallAndCountPops(reinterpret_cast<const void*>(list.Get()->pVtbl->At_GPUList),
                                           {Word(list.Get()), 0, Word(gpu.ReleaseAndGetAddressOf())});
    EXPECT_EQ(12u, at.bytesPopped);
    adlx::adlx_int bus = 0, device = 0, function = 0;
    EXPECT_EQ(20u, CallAndCountPops(reinterpret_cast<const void*>(mapping->pVtbl->BdfFromADLXGPU),
                                    {Word(mapping), Word(gpu.Get()), Word(&bus), Word(&device), Word(&function)})
                       .bytesPopped);
    EXPECT_EQ(3, bus);

    AdlxRef<adlx::IADLXI2C> i2c;
    EXPECT_EQ(12u, CallAndCountPops(reinterpret_cast<const void*>(system->pVtbl->GetI2C),
                                    {Word(system), Word(gpu.Get()), Word(i2c.ReleaseAndGetAddressOf())})
                       .bytesPopped);
    uint8_t block[16] = {};
    const ProbedCall read = CallAndCountPops(reinterpret_cast<const void*>(i2c.Get()->pVtbl->RepeatedStartRead),
                                             {Word(i2c.Get()), 1, 100, 0x56, 0x60, 16, Word(block)});
    EXPECT_EQ(0u, read.result);
    EXPECT_EQ(28u, read.bytesPopped);
    EXPECT_EQ(3, TorvexBench_Counter("adlx.refs")) << "list, GPU and I2C interface";
    EXPECT_EQ(4u, CallAndCountPops(reinterpret_cast<const void*>(i2c.Get()->pVtbl->Acquire), {Word(i2c.Get())}).bytesPopped);
    EXPECT_EQ(4u, CallAndCountPops(reinterpret_cast<const void*>(i2c.Get()->pVtbl->Release), {Word(i2c.Get())}).bytesPopped);

    i2c.Reset();
    gpu.Reset();
    list.Reset();
    EXPECT_EQ(0, TorvexBench_Counter("adlx.refs"));
    EXPECT_EQ(0, TorvexBench_Counter("adlx.invalid_object"));
    EXPECT_EQ(0, TorvexBench_Counter("i2c.refused"));
}

TEST(BenchDll, AbsentLibrariesRefuseToLoadLikeMissingFiles) {
    LoadScenario("no-vendor.json");
    for (const wchar_t* name : {L"nvapi.dll", L"atiadlxy.dll", L"amdadlx32.dll"}) {
        SetLastError(0);
        EXPECT_FALSE(Load(name)) << name;
        EXPECT_EQ(static_cast<DWORD>(ERROR_DLL_INIT_FAILED), GetLastError()) << name;
    }
    EXPECT_EQ(1, TorvexBench_Counter("nvapi.loads"));
    EXPECT_EQ(1, TorvexBench_Counter("atiadlxy.loads"));
    EXPECT_EQ(1, TorvexBench_Counter("amdadlx32.loads"));
}

TEST(BenchDll, ControlCallsSteerWhatTheVendorCallsSee) {
    LoadScenario("firmware-0511.json");
    Nvapi nv;
    nv.Start();
    const auto read = reinterpret_cast<nvapi::I2CReadExFn>(nv.Function(nvapi::kIdI2CReadEx));
    NvRequest request;
    request.reg = 0xFD;
    ASSERT_EQ(0, read(nv.gpus[0], &request.info, &request.flags));
    EXPECT_EQ(0x07, request.data[0]);
    ASSERT_EQ(0, TorvexBench_SetRegister(0, 0x56, 0xFD, 0x0C));
    EXPECT_EQ(0x0C, TorvexBench_GetRegister(0, 0x56, 0xFD));
    ASSERT_EQ(0, TorvexBench_FailRegister(0, 0x56, 0xFD, 2, -104));
    EXPECT_EQ(-104, read(nv.gpus[0], &request.info, &request.flags));
    EXPECT_EQ(-104, read(nv.gpus[0], &request.info, &request.flags));
    ASSERT_EQ(0, read(nv.gpus[0], &request.info, &request.flags));
    EXPECT_EQ(0x0C, request.data[0]);
    EXPECT_EQ(-1, TorvexBench_SetRegister(1, 0x56, 0xFD, 0)) << "no second GPU";
    EXPECT_EQ(-1, TorvexBench_GetRegister(0, 0x50, 0)) << "no device 0x50";

    ASSERT_EQ(4, TorvexBench_LogCount());
    TorvexBenchI2cRecord record{};
    ASSERT_EQ(0, TorvexBench_LogEntry(1, &record));
    EXPECT_EQ(-104, record.nResult);
    EXPECT_EQ(0xFD, record.nRegister);
    EXPECT_EQ(0x3002Cu, record.nvVersion);
    EXPECT_EQ(-1, TorvexBench_LogEntry(4, &record));
    TorvexBench_ClearLog();
    EXPECT_EQ(0, TorvexBench_LogCount());
}

TEST(BenchDll, AScenarioFileNamedByTheEnvironmentIsUsedAtFirstUse) {
    ASSERT_TRUE(SetEnvironmentVariableA("TORVEX_BENCH_SCENARIO", Scenario("amd-buslist.json").c_str()));
    EXPECT_FALSE(Load(L"nvapi.dll"));
    Library adl = Load(L"atiadlxy.dll");
    EXPECT_TRUE(adl);
    EXPECT_EQ(1, TorvexBench_Counter("atiadlxy.loads"));
}

TEST(BenchDll, ABadScenarioFileNamedByTheEnvironmentRefusesToServe) {
    char folder[MAX_PATH];
    ASSERT_NE(0u, GetTempPathA(MAX_PATH, folder));
    const std::string path = std::string(folder) + "torvex_bench_bad_scenario.json";
    std::ofstream(path) << R"({"gpus": [{"vendor": "nvidia", "bus": 1, "lively": "yes"}]})";
    ASSERT_TRUE(SetEnvironmentVariableA("TORVEX_BENCH_SCENARIO", path.c_str()));

    Nvapi nv;
    ASSERT_TRUE(nv.library) << "the libraries still load";
    EXPECT_EQ(nvapi::NVAPI_ERROR, reinterpret_cast<nvapi::InitializeFn>(nv.Function(nvapi::kIdInitialize))());
    EXPECT_NE(nullptr, std::strstr(TorvexBench_LastError(), "gpus[0].lively: expected true or false"))
        << TorvexBench_LastError();
    DeleteFileA(path.c_str());
}
