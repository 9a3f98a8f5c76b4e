#!/usr/bin/env bash
# Runs one fuzz target for as long as asked, building what is missing first. Long runs use a build
# of their own, build/fuzz: the same clang instrumentation (libFuzzer coverage, ASan, UBSan) as the
# test command's build/native, but optimised, which runs about four times as many inputs a second.
#
#   tools/fuzz.sh                                  lists the targets
#   tools/fuzz.sh <target> [seconds | -runs=N] [--corpus <folder>] [libFuzzer options...]
#
# Default length: 600 seconds. The run starts from the target's committed seeds and what earlier
# runs found, and keeps what it finds in build/native/fuzz-corpus/<target> (the smoke tests use
# the same folder), or in the folder --corpus names; the committed seeds are only read. A crash
# leaves its input in the current directory (crash-..., leak-...), as libFuzzer does; libFuzzer's
# final statistics ("stat::number_of_executed_units" and the last "cov:"/"ft:" line) end the output.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/fuzz"

if [ ! -f "$build/CMakeCache.txt" ]; then
  bash "$root/cmake/setup-machine.sh"
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
list="$build/fuzz-targets.txt"
[ -f "$list" ] || cmake "$build" >/dev/null

if [ $# -eq 0 ]; then
  echo "usage: tools/fuzz.sh <target> [seconds | -runs=N] [--corpus <folder>] [libFuzzer options...]"
  echo "targets:"
  cut -f1 "$list" | sed 's/^/  /'
  exit 0
fi

target=$1
shift
line=$(awk -F'\t' -v t="$target" '$1 == t' "$list")
if [ -z "$line" ]; then
  echo "fuzz.sh: no fuzz target \"$target\"; run tools/fuzz.sh without arguments for the list" >&2
  exit 2
fi
program=$(cut -f2 <<<"$line")
seeds=$(cut -f3 <<<"$line")

length=(-max_total_time=600)
if [ $# -gt 0 ]; then
  case $1 in
    -runs=*) length=("$1"); shift ;;
    *[!0-9]*) ;;
    *) length=(-max_total_time="$1"); shift ;;
  esac
fi
corpus="$root/build/native/fuzz-corpus/$target"
if [ "${1:-}" = --corpus ]; then
  [ $# -ge 2 ] || { echo "fuzz.sh: --corpus needs a folder" >&2; exit 2; }
  corpus=$2
  shift 2
fi
mkdir -p "$corpus"

cmake --build "$build" -j2 --target "$target"
echo "fuzz.sh: $target, ${length[*]}, corpus $corpus, seeds $seeds" >&2
exec "$program" "${length[@]}" -print_final_stats=1 "$@" "$corpus" "$seeds"
