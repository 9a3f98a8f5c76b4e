#!/usr/bin/env bash
# Sets up whatever is missing, builds everything and runs every test that this machine can run:
# the native build of the Windows-free code under sanitizers (with the fuzz targets' smoke runs),
# then the cross-built DLL, bench and tests under Wine, 64-bit and 32-bit. Where the machine cannot
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

# The native and 64-bit trees build side by side: each build has stretches (configuring, linking,
# its largest file) where it keeps only one processor busy. clang: its coverage instrumentation lets
# the fuzz targets' smoke runs explore the parsers.
CC=clang CXX=clang++ build native -DCMAKE_BUILD_TYPE=Debug &
native_build=$!
build win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-mingw.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo
wait "$native_build" || exit 1
# The 32-bit tree builds while the native and 64-bit tests run: much of their time is Wine starting
# processes and the module's bounded waits, which leave the processors free.
build win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo &
win32_build=$!

passed=0
failed=0
skipped=0
failed_cases=()

# run_tests <tree> <log> [ctest options]: runs tests of the tree two at a time, and adds what
# ctest's summary in build/<log>.ctest.log says to the totals.
run_tests() {
  local tree=$1 output=$root/build/$2.ctest.log status=0 total failures skips
  shift 2
  printf '\ntest: running the tests of build/%s\n' "$tree"
  (cd "$root/build/$tree" && ctest --output-on-failure -j "$jobs" "${select[@]}" "$@") 2>&1 | tee "$output" || status=$?
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

rm -f "$root"/build/{native,win64,win32}/test-results/*.xml
run_tests native native
# The packaging tests labelled other_width install the other width's tree too, so in build/win64
# they wait for the 32-bit build.
run_tests win64 win64 -LE other_width
wait "$win32_build" || exit 1
printf '\ntest: build/win32 is built: now the tests of build/win64 that install both widths\n'
run_tests win64 win64-other-width -L other_width
if [ "$runs_32bit" = 1 ]; then
  run_tests win32 win32
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
