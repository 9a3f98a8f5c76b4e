#include "sdk_strings.h"

#include <windows.h>

#include <objidl.h>
#include <oleauto.h>

#include <cstdint>
#include <cstdio>
#include <mutex>

#include "base/library_export.h"
#include "process_bench.h"

using bench::Bench;

namespace {

// Where an automation string's allocation starts, which is what the allocator sees.
uintptr_t BlockOf(const void* text) { return reinterpret_cast<uintptr_t>(text) - cpuidsdk::kSdkStringHeader; }

void NoteAllocated(const void* block) {
    if (block) ProcessBench().With([&](Bench& b) { b.Sdk().Strings().Allocated(reinterpret_cast<uintptr_t>(block)); });
}

// False for a string freed before: the allocator is then handed null, which it ignores.
bool LetThrough(const void* block, bool freeing) {
    return !block ||
           ProcessBench().With([&](Bench& b) { return b.Sdk().Strings().Touching(reinterpret_cast<uintptr_t>(block), freeing); });
}

// Sees every allocation and free of the process's task memory, which automation strings live in.
// The allocator calls it under a lock of its own, and the bench's lock is only taken inside: the
// bench never allocates task memory while it holds its lock, so the two cannot deadlock.
class FreeWatch final : public IMallocSpy {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMallocSpy)) {
            *object = this;
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // One static object for the life of the process: nothing to count.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override { return size; }
    void* STDMETHODCALLTYPE PostAlloc(void* block) override {
        NoteAllocated(block);
        return block;
    }
    void* STDMETHODCALLTYPE PreFree(void* block, BOOL) override { return LetThrough(block, true) ? block : nullptr; }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* block, SIZE_T size, void** newBlock, BOOL) override {
        *newBlock = block;
        return size;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* block, BOOL) override {
        NoteAllocated(block);
        return block;
    }
    // A free starts by asking the block's size; for a string freed before, that ends it.
    void* STDMETHODCALLTYPE PreGetSize(void* block, BOOL) override { return LetThrough(block, false) ? block : nullptr; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, BOOL) override { return size; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* block, BOOL) override { return block; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int result) override { return result; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}
};

void WatchFrees() {
    static std::once_flag once;
    std::call_once(once, [] {
        // A freed string must reach the allocator, not oleaut32's cache of freed strings, to be seen.
        using SetOaNoCacheFn = void(WINAPI*)();
        if (const auto noCache = FindExport<SetOaNoCacheFn>(GetModuleHandleW(L"oleaut32.dll"), "SetOaNoCache")) noCache();
        static FreeWatch watch;
        if (FAILED(CoRegisterMallocSpy(&watch))) {
            std::fputs("torvexbench: cannot watch the frees of the SDK's strings (another malloc spy?)\n", stderr);
            return;
        }
        // The watch stays registered until the process ends, so its code must stay loaded too.
        HMODULE self = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCWSTR>(&WatchFrees), &self);
    });
}

}  // namespace

cpuidsdk::SdkString HandOutSdkString(const std::string& bytes) {
    WatchFrees();
    const BSTR text = SysAllocStringByteLen(bytes.data(), static_cast<UINT>(bytes.size()));
    if (text) ProcessBench().With([&](Bench& b) { b.Sdk().Strings().HandedOut(BlockOf(text)); });
    return text;
}
