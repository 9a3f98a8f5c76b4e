#!/usr/bin/env bash
# Sets up whatever is missing, builds everything and runs every test: the cross-built DLL, bench
# and tests under Wine, and the native build of the Windows-free code under sanitizers.
# Exits non-zero on any failure. Build trees: build/win32 and build/native.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)

bash "$root/cmake/setup-machine.sh"

cmake -S "$root" -B "$root/build/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build/win32" -j "$jobs"

# clang: its coverage instrumentation lets the fuzz targets' smoke runs explore the parsers.
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build/native" -j "$jobs"

status=0
(cd "$root/build/native" && ctest --output-on-failure -j "$jobs") || status=1
(cd "$root/build/win32" && ctest --output-on-failure -j "$jobs") || status=1
exit $status
