// The AMD bus list is one registry value shared by every test of the build's Wine prefix, and ctest
// runs tests side by side: a test that sets it holds it for its whole run, and leaves no value
// behind.
#pragma once

#include <string>

#include "base/named_mutex.h"

class BusListSetting {
public:
    BusListSetting() = default;  // waits until no other test holds the setting
    ~BusListSetting() { RemoveKey(); }
    BusListSetting(const BusListSetting&) = delete;
    BusListSetting& operator=(const BusListSetting&) = delete;

    // Writes the text (with its terminator) as the value; the registry's result code.
    long Write(const std::wstring& text);
    void RemoveKey();

private:
    NamedMutexLock m_lock{L"TorvexTests.BusListSetting", INFINITE};
};
