// Captures what the process writes to its standard output (file descriptor 1) while it lives.
#pragma once

#include <string>

class StdoutCapture {
public:
    StdoutCapture();
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    // Stops capturing (once) and returns everything written since construction.
    std::string Finish();

private:
    int m_savedFd = -1;
    std::string m_path;
    std::string m_text;
    bool m_finished = false;
};
