#include <array>
#include <deque>

#include "bench_fixture.h"

using namespace adlx;

namespace {

// The caller's ADL memory callbacks, on an arena that lives as long as the test program, since
// ADL keeps its block until ADLX gives it back, which not every test gets to.
std::deque<std::array<char, 256>> g_arena;
void* TVX_STDCALL Allocate(int size) {
    EXPECT_LE(size, 256);
    return g_arena.emplace_back().data();
}
void TVX_STDCALL Free(void** buffer) { *buffer = nullptr; }
void TVX_STDCALL FreeButKeepPointer(void**) {}

const char* const kTwoAmdGpus = R"({"gpus": [
    {"vendor": "amd", "adapterIndex": 4, "bus": 3, "device": 1, "function": 2,
     "devices": {"0x56": {"preset": "controller-v2"}}},
    {"vendor": "amd", "adapterIndex": 9, "bus": 10}]})";

class AdlxBench : public BenchFixture {
protected:
    // Creates an ADL context and starts ADLX with it.
    void StartWithAdl(ADLX_RESULT expected = ADLX_OK) {
        ASSERT_EQ(adl::ADL_OK, bench.AdlCreate(&Allocate, 1, &context, adl::ADL_THREADING_LOCKED));
        ASSERT_EQ(expected, bench.AdlxInitializeWithCallerAdl(kFullVersion, &system, &mapping, context, &Free));
    }
    // The GPU at a list position, acquired.
    IADLXGPU* GpuAt(adlx_uint position) {
        IADLXGPUList* list = nullptr;
        EXPECT_EQ(ADLX_OK, bench.SystemGetGPUs(system, &list));
        IADLXGPU* gpu = nullptr;
        EXPECT_EQ(ADLX_OK, bench.ListAt(list, position, &gpu));
        bench.AdlxRelease(list);
        return gpu;
    }

    adl::ADL_CONTEXT_HANDLE context = nullptr;
    IADLXSystem* system = nullptr;
    IADLMapping* mapping = nullptr;
};

}  // namespace

TEST_F(AdlxBench, AdlContextTakesItsMemoryFromTheCallerAndAdlxGivesItBack) {
    Load(kTwoAmdGpus);
    const size_t allocated = g_arena.size();
    StartWithAdl();
    EXPECT_NE(nullptr, context);
    EXPECT_EQ(allocated + 1, g_arena.size());
    EXPECT_EQ(1, bench.Counter("adl.malloc"));
    EXPECT_EQ(1, bench.Counter("adlx.release_callback"));
    EXPECT_EQ(0, bench.Counter("adlx.release_not_cleared"));
    EXPECT_NE(nullptr, system);
    EXPECT_NE(nullptr, mapping);
    IADLXSystem* again = nullptr;
    EXPECT_EQ(ADLX_ALREADY_INITIALIZED, bench.AdlxInitialize(kFullVersion, &again));
    EXPECT_EQ(system, again) << "the same system interface";
    EXPECT_EQ(adl::ADL_OK, bench.AdlDestroy(context));
    EXPECT_EQ(adl::ADL_ERR, bench.AdlDestroy(context));
}

TEST_F(AdlxBench, AReleaseCallbackThatLeavesThePointerSetIsCounted) {
    Load(kTwoAmdGpus);
    ASSERT_EQ(adl::ADL_OK, bench.AdlCreate(&Allocate, 1, &context, 1));
    ASSERT_EQ(ADLX_OK, bench.AdlxInitializeWithCallerAdl(kFullVersion, &system, &mapping, context, &FreeButKeepPointer));
    EXPECT_EQ(1, bench.Counter("adlx.release_not_cleared"));
}

TEST_F(AdlxBench, StartUpFollowsTheScenario) {
    Load(R"({"adl": {"present": true, "context": false}, "adlx": {"present": true, "initialize": 3}})");
    context = reinterpret_cast<adl::ADL_CONTEXT_HANDLE>(0x1);
    EXPECT_EQ(adl::ADL_ERR, bench.AdlCreate(&Allocate, 1, &context, 1));
    EXPECT_EQ(reinterpret_cast<adl::ADL_CONTEXT_HANDLE>(0x1), context) << "no context is written";
    system = reinterpret_cast<IADLXSystem*>(0x1);
    EXPECT_EQ(ADLX_FAIL, bench.AdlxInitialize(kFullVersion, &system));
    EXPECT_EQ(nullptr, system);

    Load(R"({"adlx": {"present": true, "initializeWithAdl": 8, "mapping": false}, "adl": {"present": true}})");
    StartWithAdl(ADLX_ADL_INIT_ERROR);
    EXPECT_EQ(0, bench.Counter("adlx.release_callback")) << "a failed start-up keeps its hands off";
    EXPECT_EQ(ADLX_OK, bench.AdlxInitialize(kFullVersion, &system)) << "the first successful start-up";

    Load(R"({"adlx": {"present": true, "mapping": false}, "adl": {"present": true}})");
    StartWithAdl();
    EXPECT_EQ(nullptr, mapping) << "the scenario has no mapping interface";
    EXPECT_EQ(ADLX_ALREADY_INITIALIZED, bench.AdlxInitialize(kFullVersion, &system));
    EXPECT_EQ(ADLX_OK, bench.AdlxTerminate());
    EXPECT_EQ(ADLX_OK, bench.AdlxInitialize(kFullVersion, &system)) << "terminated: a fresh start";
}

TEST_F(AdlxBench, StartUpRefusesBadArguments) {
    Load(kTwoAmdGpus);
    EXPECT_EQ(adl::ADL_ERR, bench.AdlCreate(nullptr, 1, &context, 1));
    ASSERT_EQ(adl::ADL_OK, bench.AdlCreate(&Allocate, 1, &context, 1));
    EXPECT_EQ(ADLX_INVALID_ARGS, bench.AdlxInitializeWithCallerAdl(kFullVersion, &system, &mapping, context, nullptr));
    EXPECT_EQ(ADLX_INVALID_ARGS, bench.AdlxInitializeWithCallerAdl(kFullVersion, &system, &mapping, nullptr, &Free));
    int notAContext = 0;
    EXPECT_EQ(ADLX_ADL_INIT_ERROR, bench.AdlxInitializeWithCallerAdl(kFullVersion, &system, &mapping, &notAContext, &Free));
    EXPECT_EQ(ADLX_BAD_VER, bench.AdlxInitialize(0x0002000000000000ULL, &system));
    EXPECT_EQ(ADLX_INVALID_ARGS, bench.AdlxInitialize(kFullVersion, nullptr));
}

TEST_F(AdlxBench, ReferencesAreCountedUntilTheCallerReleasesEverything) {
    Load(kTwoAmdGpus);
    StartWithAdl();
    IADLXGPUList* list = nullptr;
    ASSERT_EQ(ADLX_OK, bench.SystemGetGPUs(system, &list));
    EXPECT_EQ(1, bench.Counter("adlx.refs"));
    EXPECT_FALSE(bench.ListEmpty(list));
    EXPECT_EQ(0u, bench.ListBegin(list));
    EXPECT_EQ(2u, bench.ListEnd(list));
    IADLXGPU* first = nullptr;
    IADLXGPU* second = nullptr;
    ASSERT_EQ(ADLX_OK, bench.ListAt(list, 0, &first));
    ASSERT_EQ(ADLX_OK, bench.ListAt(list, 1, &second));
    EXPECT_EQ(ADLX_INVALID_ARGS, bench.ListAt(list, 2, &second));
    EXPECT_EQ(nullptr, second) << "a refused position hands out nothing";
    ASSERT_EQ(ADLX_OK, bench.ListAt(list, 1, &second));
    EXPECT_EQ(2, bench.AdlxAcquire(first));
    IADLXI2C* i2c = nullptr;
    ASSERT_EQ(ADLX_OK, bench.SystemGetI2C(system, first, &i2c));
    EXPECT_EQ(6, bench.Counter("adlx.refs")) << "list 1, first GPU 2, second GPU 2, I2C 1";

    EXPECT_EQ(0, bench.AdlxRelease(i2c));
    EXPECT_EQ(1, bench.AdlxRelease(first));
    EXPECT_EQ(0, bench.AdlxRelease(first));
    bench.AdlxRelease(second);
    bench.AdlxRelease(second);
    EXPECT_EQ(0, bench.AdlxRelease(list));
    EXPECT_EQ(0, bench.Counter("adlx.refs"));
    EXPECT_EQ(0, bench.Counter("adlx.invalid_object"));

    EXPECT_EQ(0, bench.AdlxRelease(list)) << "released twice";
    EXPECT_EQ(0u, bench.ListSize(list)) << "a released list answers nothing";
    uint8_t byte = 0;
    EXPECT_EQ(ADLX_INVALID_OBJECT, bench.I2cRead(i2c, false, 1, 100, 0x56, 0x1E, 1, &byte));
    EXPECT_EQ(0, bench.AdlxRelease(first)) << "one release more than acquired";
    EXPECT_EQ(4, bench.Counter("adlx.invalid_object"));
}

TEST_F(AdlxBench, TheGpuListCanFailOrBeEmpty) {
    Load(R"({"adlx": {"gpuList": "fail"}, "gpus": [{"vendor": "amd", "bus": 3}]})");
    StartWithAdl();
    IADLXGPUList* list = reinterpret_cast<IADLXGPUList*>(0x1);
    EXPECT_EQ(ADLX_FAIL, bench.SystemGetGPUs(system, &list));
    EXPECT_EQ(nullptr, list);

    Load(R"({"adlx": {"gpuList": "empty"}, "gpus": [{"vendor": "amd", "bus": 3}]})");
    StartWithAdl();
    ASSERT_EQ(ADLX_OK, bench.SystemGetGPUs(system, &list));
    EXPECT_TRUE(bench.ListEmpty(list));
    EXPECT_EQ(0u, bench.ListEnd(list));
    bench.AdlxRelease(list);
}

TEST_F(AdlxBench, TheMappingTranslatesBetweenGpusAdapterIndicesAndPciAddresses) {
    Load(kTwoAmdGpus);
    StartWithAdl();
    IADLXGPU* gpu = GpuAt(0);
    adlx_int index = -1;
    ASSERT_EQ(ADLX_OK, bench.MappingAdapterIndexFromGpu(mapping, gpu, &index));
    EXPECT_EQ(4, index);
    IADLXGPU* mapped = nullptr;
    ASSERT_EQ(ADLX_OK, bench.MappingGpuFromAdapterIndex(mapping, 4, &mapped));
    EXPECT_EQ(gpu, mapped) << "one interface per GPU";
    EXPECT_EQ(2, bench.Counter("adlx.refs")) << "the mapping hands out an acquired GPU";
    adlx_int bus = 0, device = 0, function = 0;
    ASSERT_EQ(ADLX_OK, bench.MappingBdfFromGpu(mapping, mapped, &bus, &device, &function));
    EXPECT_EQ(3, bus);
    EXPECT_EQ(1, device);
    EXPECT_EQ(2, function);
    EXPECT_EQ(ADLX_NOT_FOUND, bench.MappingGpuFromAdapterIndex(mapping, 5, &mapped));
    EXPECT_EQ(nullptr, mapped);
    EXPECT_EQ(4, bench.Counter("adlx.mapping"));
}

TEST_F(AdlxBench, I2cReadsCheckTheirArgumentsAndLogWhatWasPassed) {
    Load(kTwoAmdGpus);
    StartWithAdl();
    IADLXGPU* gpu = GpuAt(0);
    IADLXI2C* i2c = nullptr;
    ASSERT_EQ(ADLX_OK, bench.SystemGetI2C(system, gpu, &i2c));
    uint8_t block[16] = {};
    ASSERT_EQ(ADLX_OK, bench.I2cRead(i2c, true, 1, 100, 0x56, 0x60, 16, block));
    EXPECT_EQ(0x01, block[0]);
    EXPECT_EQ(0xC4, block[1]);
    const TorvexBenchI2cRecord& r = *bench.Log().At(0);
    EXPECT_EQ(TorvexBenchCall_AdlxRepeatedStartRead, r.nCall);
    EXPECT_EQ(0, r.nGpuIndex);
    EXPECT_EQ(0x56, r.nDevAddress);
    EXPECT_EQ(0x60, r.nRegister);
    EXPECT_EQ(16, r.nLength);
    EXPECT_EQ(1, r.adlxLine);
    EXPECT_EQ(100, r.adlxSpeed);
    EXPECT_EQ(0xC4, r.data[1]);

    EXPECT_EQ(ADLX_INVALID_ARGS, bench.I2cRead(i2c, false, 0, 100, 0x56, 0x1E, 1, block)) << "line 0";
    EXPECT_EQ(ADLX_INVALID_ARGS, bench.I2cRead(i2c, false, 1, 100, 0x56, 0x1E, 0, block));
    EXPECT_EQ(ADLX_INVALID_ARGS, bench.I2cRead(i2c, false, 1, 100, 0x56, 0x1E, 1, nullptr));
    EXPECT_EQ(ADLX_INVALID_ARGS, bench.I2cRead(i2c, false, 1, 100, 0x56, 0x100, 1, block));
    EXPECT_EQ(ADLX_FAIL, bench.I2cRead(i2c, false, 1, 100, 0x50, 0x1E, 1, block)) << "no device 0x50";
    EXPECT_EQ(4, bench.Counter("i2c.refused"));
    EXPECT_EQ(6u, bench.Log().Count());
    EXPECT_EQ(TorvexBenchCall_AdlxRead, bench.Log().At(1)->nCall);

    IADLXI2C* other = nullptr;
    ASSERT_EQ(ADLX_OK, bench.SystemGetI2C(system, GpuAt(1), &other));
    EXPECT_EQ(ADLX_FAIL, bench.I2cRead(other, false, 1, 100, 0x56, 0x1E, 1, block)) << "the second GPU has no chips";
    EXPECT_EQ(ADLX_INVALID_ARGS, bench.SystemGetI2C(system, reinterpret_cast<IADLXGPU*>(i2c), &other));
    EXPECT_EQ(nullptr, other);
}
