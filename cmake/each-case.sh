#!/bin/sh
# Runs every case of a GoogleTest program in a process of its own, for programs whose code under
# test keeps its state for the life of the process (each declares why). A failure still names its
# case, in the output and in the case's XML report.
#   each-case.sh <results folder as the program sees it> <program> [runner...]
# The runner (wine-run for a Windows build) comes last; a program the runner cannot start at all
# (status 77) is reported as skipped.
set -u
results=$1
program=$2
shift 2

status=0
listing=$("$@" "$program" --gtest_list_tests) || status=$?
[ "$status" = 0 ] || exit "$status"

# The listing is "Suite." lines, each followed by "  Case" lines (a comment may follow the name).
cases=$(printf '%s\n' "$listing" | tr -d '\r' | awk '
  /^[^ ]/ { suite = $1; next }
  /^  [^ ]/ { print suite $1 }')
[ -n "$cases" ] || { echo "each-case.sh: $program lists no case"; exit 1; }

failed=0
count=0
for name in $cases; do
  count=$((count + 1))
  "$@" "$program" --gtest_filter="$name" --gtest_output="xml:$results.$count.xml" || failed=$((failed + 1))
done
echo "each-case.sh: $count cases, each in its own process; $failed failed"
[ "$failed" = 0 ]
