// The log every copy of the bench's helper appends to, so that tests and people can see what each
// copy did: one line per event, "<process id> <build> <event>", such as "1234 x86 request c".
#pragma once

#include <string>

#include "base/win32_handles.h"
#include "helper_config.h"

class HelperLog {
public:
    // Appends to the file at `path`; an empty path logs nothing.
    explicit HelperLog(const std::string& path);
    void Write(bench::HelperBuild build, const std::string& event);

private:
    UniqueFileHandle m_file;
};
