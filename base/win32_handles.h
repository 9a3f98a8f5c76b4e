// One owner per kind of Windows handle, so that no path can leak or close one twice. Each kind
// names its own invalid value: NULL for most handles, INVALID_HANDLE_VALUE for files and pipes.
#pragma once

#include <windows.h>

#include <utility>

template <typename Traits>
class UniqueWin32 {
public:
    using Handle = typename Traits::Handle;

    UniqueWin32() = default;
    explicit UniqueWin32(Handle h) : m_h(h) {}
    UniqueWin32(const UniqueWin32&) = delete;
    UniqueWin32& operator=(const UniqueWin32&) = delete;
    UniqueWin32(UniqueWin32&& other) noexcept : m_h(other.release()) {}
    UniqueWin32& operator=(UniqueWin32&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~UniqueWin32() { reset(); }

    Handle get() const { return m_h; }
    explicit operator bool() const { return m_h != Traits::Invalid(); }
    Handle release() { return std::exchange(m_h, Traits::Invalid()); }
    void reset(Handle h = Traits::Invalid()) {
        Handle old = std::exchange(m_h, h);
        if (old != Traits::Invalid()) Traits::Close(old);
    }
    // For APIs that return a handle through an out-parameter.
    Handle* put() {
        reset();
        return &m_h;
    }

private:
    Handle m_h = Traits::Invalid();
};

struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { FreeLibrary(h); }
};
struct RegKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { RegCloseKey(h); }
};
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};
// A mutex handle closes like any kernel handle; its own type keeps ownership of the handle apart
// from ownership of the mutex (see base/named_mutex.h).
struct MutexTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { CloseHandle(h); }
};
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) { CloseHandle(h); }
};

using UniqueModule = UniqueWin32<ModuleTraits>;
using UniqueRegKey = UniqueWin32<RegKeyTraits>;
using UniqueHandle = UniqueWin32<KernelHandleTraits>;
using UniqueMutex = UniqueWin32<MutexTraits>;
using UniqueFileHandle = UniqueWin32<FileHandleTraits>;

// An owner for a handle whose close function is taken from a library at run time (the system
// libraries the driver search loads on first need): the function travels with the handle.
template <typename Traits>
class UniqueBoundHandle {
public:
    using Handle = typename Traits::Handle;
    using CloseFn = typename Traits::CloseFn;

    UniqueBoundHandle(CloseFn close, Handle h) : m_h(h), m_close(close) {}
    UniqueBoundHandle(const UniqueBoundHandle&) = delete;
    UniqueBoundHandle& operator=(const UniqueBoundHandle&) = delete;
    ~UniqueBoundHandle() { reset(); }

    Handle get() const { return m_h; }
    explicit operator bool() const { return m_h != Traits::Invalid(); }
    void reset() {
        Handle old = std::exchange(m_h, Traits::Invalid());
        if (old != Traits::Invalid()) m_close(old);
    }

private:
    Handle m_h;
    CloseFn m_close;
};

struct BoundRegKeyTraits {
    using Handle = HKEY;
    using CloseFn = LONG(WINAPI*)(HKEY);
    static Handle Invalid() { return nullptr; }
};
// A SetupAPI device-information set (HDEVINFO), closed by SetupDiDestroyDeviceInfoList.
struct DeviceInfoSetTraits {
    using Handle = void*;
    using CloseFn = BOOL(WINAPI*)(void*);
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
};

using UniqueBoundRegKey = UniqueBoundHandle<BoundRegKeyTraits>;
using UniqueDeviceInfoSet = UniqueBoundHandle<DeviceInfoSetTraits>;
