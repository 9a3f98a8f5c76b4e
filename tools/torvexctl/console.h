// The terminal edge of torvexctl: whether in-place redrawing is possible, and waiting.
#pragma once

// True when standard output is a console that now interprets ANSI escapes (enabled here on
// Windows); false when it is a file or a pipe, or the console cannot interpret them.
bool EnableAnsiConsole();
void SleepSeconds(double seconds);

// While alive, what the process writes to standard output goes to standard error instead. The
// module prints a few lines of its own while it loads; this keeps torvexctl's standard output
// (tables, JSON) for torvexctl alone.
class StdoutToStderr {
public:
    StdoutToStderr();
    ~StdoutToStderr();
    StdoutToStderr(const StdoutToStderr&) = delete;
    StdoutToStderr& operator=(const StdoutToStderr&) = delete;

private:
    int m_savedFd = -1;              // the C runtime's standard output, restored at the end
    void* m_savedHandle = nullptr;   // the process's standard output handle, likewise
};
