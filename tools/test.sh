#!/usr/bin/env bash
# Sets up whatever is missing, builds everything and runs every test that this machine can run: the
# cross-built DLL, bench and tests under Wine, 64-bit and 32-bit, and the native build of the
# Windows-free code under sanitizers (with the fuzz targets' smoke runs). Where the machine cannot
# run 32-bit programs the 32-bit build is still made, and its tests are counted as skipped.
#
#   bash tools/test.sh            everything
#   bash tools/test.sh PATTERN    only the tests whose name matches PATTERN (a ctest regex); names
#                                 are <area>.<program> (board.board_tests, gpu.driver_loading_tests,
#                                 package.example_no_board, fuzz...). GTEST_FILTER picks cases.
#
# Ends with "tests: N passed, N failed, N skipped" (ctest tests: a gtest program counts once) and
# exits non-zero when anything that ran failed. Build trees: build/native, build/win64, build/win32.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)
pattern=${1:-}
select=()
[ -n "$pattern" ] && select=(-R "$pattern")

bash "$root/cmake/setup-machine.sh"

runs_32bit=1
why_not_32bit=$(sh "$root/cmake/ia32-check.sh") || runs_32bit=0
if [ "$runs_32bit" = 0 ]; then
  printf '\ntest: the 32-bit tests cannot run on this machine; they are built and counted as skipped.\n%s\n' \
    "$why_not_32bit" | sed '3,$s/^/test:   /'
fi

# build <tree> <cmake options...>: configures and builds one tree quietly (tools/build_tree.sh).
build() {
  printf 'test: building build/%s\n' "$1"
  bash "$root/tools/build_tree.sh" "$@"
}

# run_tests <tree>: runs the tree's tests two at a time into build/<tree>.ctest.log, showing each line
# as it comes with the tree's name before it; ctest's exit status goes to build/<tree>.ctest.status.
run_tests() {
  local tree=$1
  { (cd "$root/build/$tree" && ctest --output-on-failure -j "$jobs" "${select[@]}") 2>&1
    echo $? >"$root/build/$tree.ctest.status"; } | tee "$root/build/$tree.ctest.log" | sed -u "s|^|$tree: |"
}

rm -f "$root"/build/{native,win64,win32}/test-results/*.xml "$root"/build/*.ctest.{log,status}
# All three trees build side by side: each build has stretches (configuring, linking, its largest
# file) where it keeps only one processor busy. clang: its coverage instrumentation lets the fuzz
# targets' smoke runs explore the parsers.
CC=clang CXX=clang++ build native -DCMAKE_BUILD_TYPE=Debug &
native_build=$!
build win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-mingw.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo &
win64_build=$!
build win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo &
win32_build=$!
builds_failed=0
for build_job in "$native_build" "$win64_build" "$win32_build"; do
  wait "$build_job" || builds_failed=1
done
[ "$builds_failed" = 0 ] || exit 1

# Then the Windows tests run under Wine, each width in its own prefix, where its programs never meet
# the other width's. Beside them, at low priority, the native tests: mostly the fuzz targets' smoke
# runs, which take the processor time that the Windows tests leave while they wait on Wine and on
# the module's bounded waits.
printf '\ntest: running the tests of build/native, build/win64%s\n' "$([ "$runs_32bit" = 1 ] && echo ' and build/win32')"
run_tests win64 &
test_runs=($!)
if [ "$runs_32bit" = 1 ]; then
  run_tests win32 &
  test_runs+=($!)
fi
(
  renice -n 10 -p "$BASHPID" >/dev/null
  run_tests native
) &
test_runs+=($!)
wait "${test_runs[@]}"

passed=0
failed=0
skipped=0
failed_cases=()
# count_tests <tree>: adds what ctest's summary in build/<tree>.ctest.log says to the totals.
count_tests() {
  local tree=$1 output=$root/build/$1.ctest.log status total failures skips
  status=$(cat "$root/build/$tree.ctest.status" 2>/dev/null || echo "unknown, its ctest did not finish")
  total=$(sed -n 's/.* tests failed out of \([0-9]*\)$/\1/p' "$output" | tail -n 1)
  failures=$(sed -n 's/.*, \([0-9]*\) tests failed out of [0-9]*$/\1/p' "$output" | tail -n 1)
  skips=$(grep -c '(Skipped)$' "$output" || true)
  total=${total:-0}
  failures=${failures:-0}
  if [ "$status" != 0 ] && [ "$failures" = 0 ]; then
    failures=1
    failed_cases+=("$tree: ctest itself failed (status $status)")
  fi
  passed=$((passed + total - failures - skips))
  failed=$((failed + failures))
  skipped=$((skipped + skips))
}

# failed_cases_of <tree>: the failed gtest cases, from the XML reports its test programs left.
failed_cases_of() {
  local report
  for report in "$root/build/$1"/test-results/*.xml; do
    [ -f "$report" ] || continue
    while IFS= read -r case_name; do failed_cases+=("$1: $case_name"); done < <(awk '
      /<testcase / { match($0, /name="[^"]*"/); name = substr($0, RSTART + 6, RLENGTH - 7)
                     match($0, /classname="[^"]*"/); suite = substr($0, RSTART + 11, RLENGTH - 12) }
      /<failure / { if (!seen[suite "." name]++) print suite "." name }' "$report")
  done
}

count_tests native
count_tests win64
if [ "$runs_32bit" = 1 ]; then
  count_tests win32
else
  count=$(cd "$root/build/win32" && ctest -N "${select[@]}" | sed -n 's/^Total Tests: //p')
  printf '\ntest: skipped the %s tests of build/win32: this machine cannot run 32-bit programs (see above).\n' "$count"
  skipped=$((skipped + count))
fi
for tree in native win64 win32; do failed_cases_of "$tree"; done

if [ "${#failed_cases[@]}" -gt 0 ]; then
  printf '\ntest: failed cases:\n'
  printf 'test:   %s\n' "${failed_cases[@]}"
fi
printf '\ntests: %d passed, %d failed, %d skipped\n' "$passed" "$failed" "$skipped"
[ "$failed" = 0 ]
