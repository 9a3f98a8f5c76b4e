#!/usr/bin/env bash
# The demo: sets up whatever is missing, builds both widths quietly, then shows torvexctl reading
# the bench's default machine (one GPU with a complete, lively board) under Wine: the 32-bit build
# where this machine can run 32-bit programs, the 64-bit build where it cannot (and it says so).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

heading() { printf '\n==== %s ====\n' "$1"; }

heading "Setting up the machine"
bash "$root/cmake/setup-machine.sh"
echo "toolchain ready"

# build <tree> <toolchain>: configures and builds one Windows width quietly.
build() {
  bash "$root/tools/build_tree.sh" "$1" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$2" -DCMAKE_BUILD_TYPE=RelWithDebInfo
  echo "built build/$1/bin/TorvexModule.dll and torvexctl.exe"
}
# Side by side: each build has stretches where it keeps only one processor busy.
heading "Building build/win32 and build/win64"
build win32 toolchain-i686-mingw.cmake &
win32_build=$!
build win64 toolchain-x86_64-mingw.cmake || { wait "$win32_build"; exit 1; }
wait "$win32_build"

# The 32-bit build is the one hosts load today; where this machine cannot run it, the 64-bit build
# of the same module shows the bench instead.
if why_not_32bit=$(sh "$root/cmake/ia32-check.sh"); then
  build="$root/build/win32"
  echo
  echo "Showing the 32-bit build (build/win32) under 32-bit Wine."
else
  build="$root/build/win64"
  heading "What this demo cannot show here"
  echo "$why_not_32bit"
  echo "So the 32-bit TorvexModule.dll (build/win32/bin) is built but not run: what follows is the"
  echo "64-bit build of the same module (build/win64) under 64-bit Wine, reading the same bench."
fi

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
