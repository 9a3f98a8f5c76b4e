#!/usr/bin/env bash
# The demo: sets up whatever is missing, builds build/win32 quietly, then shows torvexctl reading
# the bench's default machine (one GPU with a complete, lively board) under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/win32"
jobs=$(nproc 2>/dev/null || echo 2)
log=$(mktemp)
trap 'rm -f "$log"' EXIT

heading() { printf '\n==== %s ====\n' "$1"; }

# Runs a build step with its output in the log; shows the errors only when it fails.
quietly() {
  if ! "$@" >"$log" 2>&1; then
    grep -E -i -B2 -A6 'error|fatal|failed' "$log" || cat "$log"
    echo "demo: '$*' failed" >&2
    exit 1
  fi
}

heading "Setting up the machine"
bash "$root/cmake/setup-machine.sh"
echo "toolchain ready"

heading "Building build/win32"
quietly cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo
quietly cmake --build "$build" -j "$jobs"
echo "built $build/bin/TorvexModule.dll and torvexctl.exe"

# The bench's built-in default machine, whatever the caller's shell had set.
unset TORVEX_BENCH_SCENARIO

heading "torvexctl list"
"$build/wine-run" "$build/bin/torvexctl.exe" list

heading "torvexctl status"
"$build/wine-run" "$build/bin/torvexctl.exe" status

heading "torvexctl watch --interval 1 --count 5"
"$build/wine-run" "$build/bin/torvexctl.exe" watch --interval 1 --count 5

# The module looks for cpuidsdk.dll relative to the current folder; the bench's stand-in is in bench-bin.
heading "torvexctl sensors --match Corvel   (the desktop's power supply)"
(cd "$build/bench-bin" && "$build/wine-run" "$build/bin/torvexctl.exe" sensors --match Corvel)

# The QLXSW device through the host application's helper: torvexctl runs from a folder laid out as
# the host application's, with the bench's helper as its 32-bit build.
host="$build/demo-host"
mkdir -p "$host/LIB/x86_lib"
cp "$build/bench-bin/Halvane.exe" "$host/LIB/x86_lib/"
cd "$host"
# No helper left over from an earlier run: the module starts its own.
"$build/wine-run" "$build/bin/torvexctl.exe" qlxsw --release >/dev/null

heading "torvexctl qlxsw --watch --interval 1 --count 4 --id 1 --id 2"
"$build/wine-run" "$build/bin/torvexctl.exe" qlxsw --watch --interval 1 --count 4 --id 1 --id 2

heading "torvexctl qlxsw --release"
"$build/wine-run" "$build/bin/torvexctl.exe" qlxsw --release
