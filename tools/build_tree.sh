#!/usr/bin/env bash
# Configures and builds one tree under build/ with Ninja, quietly: the whole output goes to
# build/<tree>.log, and only when a step fails are its errors shown (exit status 1).
#   bash tools/build_tree.sh <tree> [cmake options...]      e.g. win64 -DCMAKE_TOOLCHAIN_FILE=...
# A tree that another generator configured before is made afresh, since CMake cannot switch.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tree=$root/build/$1
shift
log=$tree.log
jobs=$(nproc 2>/dev/null || echo 2)

if [ -f "$tree/CMakeCache.txt" ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' "$tree/CMakeCache.txt"; then
  rm -rf "$tree"
fi
mkdir -p "$tree"
if ! { cmake -G Ninja -S "$root" -B "$tree" "$@" && cmake --build "$tree" -j "$jobs"; } >"$log" 2>&1; then
  grep -E -i -B2 -A8 'error|fatal|failed' "$log" | head -n 120 || tail -n 60 "$log"
  echo "building build/${tree##*/} failed; the whole log is $log" >&2
  exit 1
fi
