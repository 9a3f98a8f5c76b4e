// The bench's DLLs as a 32-bit host process sees them: loaded by name from the system directory,
// entry points found with GetProcAddress, and every calling convention measured on the stack. x64
// has a single convention, and the module's tests through the bench make each of these calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

#include "TorvexBench.h"
#include "base/win32_handles.h"
#include "nv_request.h"
#include "vendor/vendor_abi.h"
#include "vendor/vendor_names.h"

namespace {

using namespace adlx;
using vendor::kLibraryNames;

// One argument word: a pointer or an integer widened to pointer size.
using ArgWord = uintptr_t;

}  // namespace

// TvxCallCountingPops(function, args, count, popped): calls function with args[0] .. args[count-1]
// as a C caller does and stores in *popped how many bytes the callee removed from the stack.
// Pushes args[count-1] .. args[0], calls, and measures: 0 for cdecl, 4 per argument word for
// stdcall. A wrong convention on either side shows up here as a number instead of as a corrupted
// stack somewhere later.
extern "C" ArgWord TvxCallCountingPops(const void* function, const ArgWord* args, uint32_t count, uint32_t* popped);
asm(R"(
    .text
    .globl _TvxCallCountingPops
_TvxCallCountingPops:
    pushl %ebp
    movl %esp, %ebp
    subl $4, %esp
    movl 12(%ebp), %edx
    movl 16(%ebp), %ecx
1:  jecxz 2f
    pushl -4(%edx,%ecx,4)
    loop 1b
2:  movl %esp, -4(%ebp)
    call *8(%ebp)
    movl %esp, %ecx
    subl -4(%ebp), %ecx
    movl 20(%ebp), %edx
    movl %ecx, (%edx)
    leave
    ret
)");
// A 64-bit value passed by value takes two argument words, the low one first.
std::vector<ArgWord> Words(uint64_t value) {
    return {static_cast<uint32_t>(value), static_cast<uint32_t>(value >> 32)};
}

namespace {

// A pointer or an integer as one argument word.
template <typename T>
ArgWord Word(T value) {
    if constexpr (std::is_pointer_v<T>) return reinterpret_cast<ArgWord>(value);
    else return static_cast<ArgWord>(value);
}

// The argument words of a call that passes the ADLX version first.
std::vector<ArgWord> AfterVersion(std::initializer_list<ArgWord> rest) {
    std::vector<ArgWord> words = Words(kFullVersion);
    words.insert(words.end(), rest.begin(), rest.end());
    return words;
}

enum Convention { kCdecl, kStdcall };

// Calls what (a function) and checks it removed the bytes its convention removes; returns the whole
// result register.
template <typename F>
ArgWord CallForWord(const char* what, F function, Convention convention, const std::vector<ArgWord>& args) {
    uint32_t popped = ~0u;
    const ArgWord result = TvxCallCountingPops(reinterpret_cast<const void*>(function), args.data(),
                                               static_cast<uint32_t>(args.size()), &popped);
    EXPECT_EQ(convention == kStdcall ? sizeof(ArgWord) * args.size() : 0u, popped) << what;
    return result;
}

// The same for a function that answers a 32-bit status or number.
template <typename F>
uint32_t Call(const char* what, F function, Convention convention, const std::vector<ArgWord>& args) {
    return static_cast<uint32_t>(CallForWord(what, function, convention, args));
}

// Calls an export of a loaded library as a cdecl function.
uint32_t Export(const UniqueModule& library, const char* name, const std::vector<ArgWord>& args) {
    return Call(name, GetProcAddress(library.get(), name), kCdecl, args);
}

// nvapi_QueryInterface's answer for id.
void* NvapiFunction(const UniqueModule& library, nvapi::NvU32 id) {
    const char* name = "nvapi_QueryInterface";
    return reinterpret_cast<void*>(CallForWord(name, GetProcAddress(library.get(), name), kCdecl, {id}));
}

char g_adlBlock[256];
void* TVX_STDCALL AllocateForAdl(int) { return g_adlBlock; }
void TVX_STDCALL ReleaseForAdlx(void** buffer) { *buffer = nullptr; }

}  // namespace

TEST(BenchDll, NvapiFunctionsAndHooksAreCdecl) {
    ASSERT_EQ(0, TorvexBench_LoadScenarioText(R"({"nvapi": {"hooks": "before-and-after"},
        "gpus": [{"vendor": "nvidia", "bus": 1, "devices": {"0x56": {}}}]})")) << TorvexBench_LastError();
    UniqueModule library(LoadLibraryW(kLibraryNames.nvapi.wide));
    ASSERT_TRUE(library) << GetLastError();
    const auto nv = [&](const char* name, nvapi::NvU32 id, const std::vector<ArgWord>& args) {
        return Call(name, NvapiFunction(library, id), kCdecl, args);
    };
    nvapi::NvPhysicalGpuHandle gpus[nvapi::kMaxPhysicalGpus] = {};
    nvapi::NvU32 count = 0, bus = 255, hookContext[2] = {};
    NvRequest request;
    EXPECT_EQ(0u, nv("NvAPI_Initialize", nvapi::kIdInitialize, {}));
    EXPECT_EQ(0u, nv("NvAPI_EnumPhysicalGPUs", nvapi::kIdEnumPhysicalGPUs, {Word(gpus), Word(&count)}));
    EXPECT_EQ(0u, nv("NvAPI_GPU_GetBusId", nvapi::kIdGpuGetBusId, {Word(gpus[0]), Word(&bus)}));
    EXPECT_EQ(0u, nv("NvAPI_I2CReadEx", nvapi::kIdI2CReadEx, {Word(gpus[0]), Word(&request.info), Word(&request.flags)}));
    nv("before-call hook", nvapi::kIdBeforeCallHook, {nvapi::kIdI2CReadEx, Word(hookContext)});
    nv("after-call hook", nvapi::kIdAfterCallHook, {nvapi::kIdI2CReadEx, 0, 0, 0});
}

TEST(BenchDll, AdlAndAdlxExportsAreCdeclAndTheirInterfacesStdcall) {
    ASSERT_EQ(0, TorvexBench_LoadScenarioText(R"({"gpus": [{"vendor": "amd", "bus": 3, "devices": {"0x56": {}}}]})"));
    UniqueModule atiadlxy(LoadLibraryW(kLibraryNames.adl.wide)), amdadlx32(LoadLibraryW(kLibraryNames.adlx.wide));
    ASSERT_TRUE(atiadlxy && amdadlx32) << GetLastError();
    adl::ADL_CONTEXT_HANDLE context = nullptr;
    EXPECT_EQ(0u, Export(atiadlxy, "ADL2_Main_ControlX2_Create", {Word(&AllocateForAdl), 1, Word(&context), 1}));
    uint32_t scratch[2] = {};
    EXPECT_EQ(0u, Export(amdadlx32, "ADLXQueryFullVersion", {Word(scratch)}));
    EXPECT_EQ(0u, Export(amdadlx32, "ADLXQueryVersion", {Word(scratch)}));
    IADLXSystem *system = nullptr, *again = nullptr;
    IADLMapping* mapping = nullptr;
    EXPECT_EQ(0u, Export(amdadlx32, "ADLXInitializeWithCallerAdl",
                         AfterVersion({Word(&system), Word(&mapping), Word(context), Word(&ReleaseForAdlx)})));
    ASSERT_TRUE(system && mapping);
    for (const char* name : {"ADLXInitialize", "ADLXInitializeWithIncompatibleDriver"})
        EXPECT_EQ(static_cast<uint32_t>(ADLX_ALREADY_INITIALIZED),
                  Export(amdadlx32, name, AfterVersion({Word(&again)})));

    IADLXGPUList* list = nullptr;
    IADLXGPU* gpu = nullptr;
    IADLXI2C* i2c = nullptr;
    EXPECT_EQ(0u, Call("GetGPUs", system->pVtbl->GetGPUs, kStdcall, {Word(system), Word(&list)}));
    ASSERT_TRUE(list);
    EXPECT_EQ(1u, Call("End", list->pVtbl->End, kStdcall, {Word(list)}));
    EXPECT_EQ(0u, Call("At_GPUList", list->pVtbl->At_GPUList, kStdcall, {Word(list), 0, Word(&gpu)}));
    adlx_int bus = 0, device = 0, function = 0;
    EXPECT_EQ(0u, Call("BdfFromADLXGPU", mapping->pVtbl->BdfFromADLXGPU, kStdcall,
                       {Word(mapping), Word(gpu), Word(&bus), Word(&device), Word(&function)}));
    EXPECT_EQ(0u, Call("GetI2C", system->pVtbl->GetI2C, kStdcall, {Word(system), Word(gpu), Word(&i2c)}));
    EXPECT_EQ(0u, Call("Read", i2c->pVtbl->Read, kStdcall, {Word(i2c), 1, 100, 0x56, 0x1E, 1, Word(scratch)}));
    EXPECT_EQ(0u, Call("RepeatedStartRead", i2c->pVtbl->RepeatedStartRead, kStdcall,
                       {Word(i2c), 1, 100, 0x56, 0x1E, 1, Word(scratch)}));
    EXPECT_EQ(0u, Call("Release", i2c->pVtbl->Release, kStdcall, {Word(i2c)}));
    Call("Release", gpu->pVtbl->Release, kStdcall, {Word(gpu)});
    Call("Release", list->pVtbl->Release, kStdcall, {Word(list)});
    EXPECT_EQ(0u, Export(amdadlx32, "ADLXTerminate", {}));
    EXPECT_EQ(0u, Export(atiadlxy, "ADL2_Main_Control_Destroy", {Word(context)}));
}
