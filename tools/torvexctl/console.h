// The terminal edge of torvexctl: showing frames, waiting, and keeping the module's own lines
// apart from torvexctl's output.
#pragma once

#include <string>

// Shows successive frames. On a console each frame replaces the previous one in place; written
// to a file or a pipe, frames follow each other separated by a blank line.
//
// The redraw uses the console's own cursor and fill operations rather than ANSI escapes: Wine's
// console prints escape sequences as text even after accepting virtual-terminal mode, while the
// console operations work there and on every Windows console alike.
class FramePrinter {
public:
    FramePrinter();
    void Show(const std::string& frame);
    bool InPlace() const { return m_console; }

private:
    bool m_console = false;
    bool m_first = true;
    short m_originX = 0;  // top-left corner of the frame in the console's screen buffer
    short m_originY = 0;
    short m_lastRow = 0;  // the last row the previous frame (or the window) covered
};

void SleepSeconds(double seconds);
// The local time as "2026-01-31 14:05:09.123", for logs and machine-readable frames.
std::string LocalTimeText();

// While alive, the console shows UTF-8 output (units such as "°C") as such.
class Utf8Console {
public:
    Utf8Console();
    ~Utf8Console();
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

private:
    unsigned m_saved;  // the console's output code page; 0 without a console
};

// While alive, what the process writes to standard output goes to standard error, or nowhere. The
// module prints lines of its own; this keeps torvexctl's standard output (tables, JSON) for
// torvexctl alone.
class StdoutDiverted {
public:
    enum class Target { Stderr, Nowhere };
    explicit StdoutDiverted(Target target);
    ~StdoutDiverted();
    StdoutDiverted(const StdoutDiverted&) = delete;
    StdoutDiverted& operator=(const StdoutDiverted&) = delete;

private:
    int m_savedFd = -1;             // the C runtime's standard output, restored at the end
    void* m_savedHandle = nullptr;  // the process's standard output handle, likewise
    int m_nullFd = -1;              // Nowhere: the null device, open while diverting
};

// The few lines the module prints while it loads go to standard error.
class StdoutToStderr : public StdoutDiverted {
public:
    StdoutToStderr() : StdoutDiverted(Target::Stderr) {}
};

// The line the module prints for every sensor reading goes nowhere.
class StdoutDiscarded : public StdoutDiverted {
public:
    StdoutDiscarded() : StdoutDiverted(Target::Nowhere) {}
};
