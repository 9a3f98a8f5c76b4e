#!/usr/bin/env bash
# Configures and builds one tree under build/ with Ninja, quietly: the whole output goes to
# build/<tree>.log, and only when a step fails are its errors shown (exit status 1). A Windows tree's
# Wine prefix is made beside the build.
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
prefix_maker=""
failed() {
  grep -E -i -B2 -A8 'error|fatal|failed' "$log" | head -n 120 || tail -n 60 "$log"
  echo "building build/${tree##*/} failed; the whole log is $log" >&2
  [ -z "$prefix_maker" ] || wait "$prefix_maker" || true
  exit 1
}
cmake -G Ninja -S "$root" -B "$tree" "$@" >"$log" 2>&1 || failed
# A Windows tree's Wine prefix is made while the tree builds, so that its first program does not
# wait for Wine to set one up. Where it cannot be made, the programs say why when they run.
if [ -x "$tree/wine-run" ]; then
  timeout 300 "$tree/wine-run" --make-prefix >/dev/null 2>&1 &
  prefix_maker=$!
fi
cmake --build "$tree" -j "$jobs" >>"$log" 2>&1 || failed
[ -z "$prefix_maker" ] || wait "$prefix_maker" || true
