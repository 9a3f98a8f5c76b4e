// Finding, starting and releasing the SDK: the candidate folders, the slots the SDK does not bind,
// the start mutex, and what a second start does.
#include <windows.h>

#include <thread>

#include "base/named_mutex.h"
#include "sensor_bench.h"
#include "stdout_capture.h"

namespace {

constexpr wchar_t kMutexTestsLock[] = L"TorvexTests.SdkStartMutex";

const std::string kOneSensor =
    SdkMachine(R"({"class": "processor", "name": "P", "sensors": [{"class": "temperature", "name": "T", "value": 40}]})",
               R"("version": "0x01020500")");

std::string WithMember(const std::string& member) {
    return SdkMachine(R"({"class": "processor", "sensors": [{"class": "fan", "name": "F", "value": 900}]})", member);
}

}  // namespace

// The first candidate folder that has the library is used; the fourth is "..\..\..\bin".
TEST_F(SensorTest, TheFirstCandidateFolderThatHasTheLibraryIsUsed) {
    const auto expectUsed = [&](std::initializer_list<const wchar_t*> stubFolders, const wchar_t* used) {
        SCOPED_TRACE(ToUtf8(used));
        folders.emplace(stubFolders);
        LoadMachine(kOneSensor);
        StdoutCapture out;
        EXPECT_EQ(0, Start());
        EXPECT_EQ("DLL version: 0x01020500\n", out.Finish().substr(0, 24));
        EXPECT_EQ("load; create; init " + ToUtf8(used) + " " + SdkFileUtf8() + " 0x7FFFFFFF; version",
                  TorvexBench_SdkTrace());
        wchar_t loaded[MAX_PATH] = L"";
        GetModuleFileNameW(GetModuleHandleW(SdkFile()), loaded, MAX_PATH);
        EXPECT_EQ(SdkFolders::StubPath(used), loaded);
        EXPECT_EQ(1, module->api().Get_Systerm_Sensor_Count());
        TearDown();
    };
    expectUsed({L"..\\..\\..\\bin"}, L"..\\..\\..\\bin");
    expectUsed({L".", L"..\\..\\bin"}, L".");
}

// Each failed start is undone in order (close, destroy, unload) and says nothing; the next start
// loads the library afresh. Until a start succeeds the catalogue stays empty.
TEST_F(SensorTest, AFailedStartIsUndoneAndTheNextStartsAfresh) {
    const struct {
        std::string member;  // "": no library in any candidate folder
        std::string trace;
    } cases[] = {
        {"", ""},
        {R"("unbound": "all")", "load; unload"},
        {R"("init": 0)", "load; create; init . " + SdkFileUtf8() + " 0x7FFFFFFF; close; destroy; unload"},
        {R"("unbound": ["SdkInit", "SdkClose"])", "load; create; destroy; unload"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.member);
        if (c.member.empty()) folders.emplace(std::initializer_list<const wchar_t*>{});
        LoadMachine(WithMember(c.member));
        StdoutCapture out;
        EXPECT_EQ(-1, Start());
        EXPECT_EQ(-1, Start());
        EXPECT_EQ("", out.Finish());
        EXPECT_EQ(c.trace.empty() ? "" : c.trace + "; " + c.trace, TorvexBench_SdkTrace());
        EXPECT_EQ(c.trace.empty() ? 0 : 2, TorvexBench_Counter("sdk.loads"));
        EXPECT_EQ(0, TorvexBench_Counter("sdk.refused")) << "every call used the instance the SDK created";
        EXPECT_EQ(-1, module->api().Get_Systerm_Sensor_Count());
        int32_t count = 99;
        SensorRecord record{};
        SensorRecord* array = &record;
        EXPECT_EQ(-1, module->api().Get_Sensor_RealTime_Data(&count, &array));
        EXPECT_EQ(0, count);
        EXPECT_EQ(-2, SetEnabled({{0, 0}}));
        TearDown();
    }
}

TEST_F(SensorTest, NoDeviceListKeepsTheSdkAndASecondStartUsesItAgain) {
    LoadMachine(WithMember(R"("deviceCount": -1)"));
    EXPECT_EQ(-3, Start());
    EXPECT_EQ(-3, Start(5));
    EXPECT_EQ(1, TorvexBench_Counter("sdk.create"));
    EXPECT_EQ(0, TorvexBench_Counter("sdk.close"));
    EXPECT_EQ(-1, module->api().Get_Systerm_Sensor_Count());
}

// A start without the version slot says version 0; a second successful start changes nothing.
TEST_F(SensorTest, ASecondSuccessfulStartChangesNothing) {
    LoadMachine(WithMember(R"("unbound": ["SdkGetVersion"])"));
    StdoutCapture out;
    ASSERT_EQ(0, Start(1000));
    EXPECT_EQ("DLL version: 0x00000000\n", out.Finish().substr(0, 24));
    EXPECT_EQ(0, Start(2000));
    EXPECT_EQ(1, TorvexBench_Counter("sdk.loads"));
    const std::vector<SensorRecord> records = Query();
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(1000, records[0].nNumber);
}

// The start holds "Global\cpuzlock" while the SDK starts and lets it go afterwards; a mutex that
// another owner keeps delays the start by the bounded wait only. Other tests' starts take the mutex
// briefly; this one, which looks at who owns it, holds a lock of its own meanwhile.
TEST_F(SensorTest, TheStartMutexIsHeldForTheStartOnlyAndAMutexKeptElsewhereDoesNotStopIt) {
    const NamedMutexLock oneAtATime(kMutexTestsLock, INFINITE);
    {
        const NamedMutexLock keptHere(L"Global\\cpuzlock", INFINITE);
        ASSERT_EQ(NamedMutexLock::State::Held, keptHere.state());
        LoadMachine(kOneSensor);
        int started = 1;
        std::thread([&] { started = Start(); }).join();
        EXPECT_EQ(0, started);
        EXPECT_EQ(0, TorvexBench_Counter("sdk.init_under_lock"));
        TearDown();
    }
    // A handle of the test's own keeps the mutex in existence after the module has closed its own.
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Global\\cpuzlock");
    ASSERT_NE(nullptr, mutex);
    LoadMachine(kOneSensor);
    ASSERT_EQ(0, Start());
    EXPECT_EQ(1, TorvexBench_Counter("sdk.init_under_lock"));
    // Were it still owned by this thread, which called the start, another thread's wait would time out.
    std::thread([&] {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(mutex, 30000));
        ReleaseMutex(mutex);
    }).join();
    CloseHandle(mutex);
}
