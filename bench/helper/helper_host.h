// A host program's side of the bench's helper (tests, the benchmark): a folder laid out as the host
// application's, with the stand-in where the module launches the helper builds from, and a helper
// started to serve the pipe before the module asks, whatever a process start costs.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "base/win32_handles.h"
#include "helper_config.h"

namespace bench {

class HelperFolder {
public:
    // A fresh folder below the temporary directory with the stand-in at `standIn` copied to
    // LIB\x86_lib\Halvane.exe and/or LIB\x64_lib\Halvane.exe; removed with its content at the end.
    HelperFolder(const std::string& standIn, const std::vector<HelperBuild>& builds);
    ~HelperFolder();
    HelperFolder(const HelperFolder&) = delete;
    HelperFolder& operator=(const HelperFolder&) = delete;

    // Whether the folder could be laid out.
    bool Ready() const { return m_ready; }
    const std::string& Root() const { return m_root; }
    std::string PathOf(const std::string& name) const { return m_root + "\\" + name; }
    std::string HelperOf(HelperBuild build) const;

private:
    std::string m_root;
    bool m_ready = false;
};

// Every process this process starts from now on, helpers the module launches among them, ends
// when this process ends, however it ends. The first call arranges it; later calls do nothing.
void EndChildrenWithThisProcess();

// Starts the helper at `exe` with "--serve <builds>" (such as "x86,x64") and waits until its pipe
// exists. Its process, or an empty handle when it did not get that far within `limit` (it is then
// ended).
UniqueHandle StartServingHelper(const std::string& exe, const std::string& builds, std::chrono::milliseconds limit);

}  // namespace bench
