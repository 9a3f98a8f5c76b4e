// The terminal edge of torvexctl: whether in-place redrawing is possible, and waiting.
#pragma once

// True when standard output is a console that now interprets ANSI escapes (enabled here on
// Windows); false when it is a file or a pipe, or the console cannot interpret them.
bool EnableAnsiConsole();
void SleepSeconds(double seconds);
