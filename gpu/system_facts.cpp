#include "gpu/system_facts.h"

#include "gpu/driver_paths.h"

uint32_t SystemFacts::BuildNumber() {
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_buildNumber == 0) {
        const std::optional<RegistryValue> value =
            m_system.ReadMachineValue(L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"CurrentBuildNumber");
        if (value && value->type == kRegText) {
            const std::optional<std::vector<std::wstring>> texts = RegistryTexts(*value);
            if (!texts->empty()) m_buildNumber = ParseBuildNumber(texts->front());
        }
    }
    return m_buildNumber;
}

std::optional<bool> SystemFacts::Wow64() {
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_wow64Asked) {
        m_wow64 = m_system.IsWow64Process();
        m_wow64Asked = true;
    }
    return m_wow64;
}

bool SystemFacts::Windows7OrLater() {
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_windows7OrLater) m_windows7OrLater = m_system.IsWindows7OrLater();
    return *m_windows7OrLater;
}
