#!/bin/sh
# Runs both example hosts under Wine, as a host developer would, and checks what they print.
#   example_test.sh <wine-run> <folder of the programs> <bench scenarios folder> <case>
set -eu
wine_run=$1
bin=$2
scenarios=$3
case=$4
here=$(cd "$(dirname "$0")" && pwd)

# The bench's machine for the programs: a scenario file under Wine's Z: drive, or "" for the
# bench's built-in default machine.
use_scenario() {
  if [ -n "$1" ]; then
    TORVEX_BENCH_SCENARIO=$(printf 'Z:%s' "$1" | tr '/' '\\')
  else
    TORVEX_BENCH_SCENARIO=
  fi
  export TORVEX_BENCH_SCENARIO
}

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# run <args...>: runs $exe; sets $out (standard output, without CRs), $err and $code.
run() {
  code=0
  "$wine_run" "$exe" "$@" >"$work/out" 2>"$work/err" || code=$?
  if [ "$code" = 77 ]; then
    cat "$work/err" >&2  # this machine cannot run the build's programs; wine-run said why
    exit 77
  fi
  out=$(tr -d '\r' <"$work/out")
  err=$(tr -d '\r' <"$work/err")
}

expect_code() {
  [ "$code" = "$1" ] || fail "$program $2: exit code $code, expected $1 (stderr: $err)"
}

# Nothing on standard error: neither the program nor wine-run has anything to report.
expect_quiet() {
  [ -z "$err" ] || fail "$program $1 wrote to standard error: $err"
}

expect_output() {
  if [ "$out" != "$1" ]; then
    fail "$program $2 printed something else:"
    printf '%s\n' "$1" >"$work/expected"
    printf '%s\n' "$out" | diff -u "$work/expected" - || true
  fi
}

first_board='  controller: firmware 0x0520, capability bits 0xF
  thermal map (degrees C): 47.85 46.15 45.70 50.30
  power status (controller units): 0.410 0.840 5.120 5.305 5.180 5.210, total 22.065, over limit 0'
no_function='  thermal map: not available (-1: no board, or this board does not offer it)
  power status: not available (-1: no board, or this board does not offer it)'
no_board="  controller: not available (-1: no board, or firmware older than 0x500)
$no_function"

for program in print_boards print_boards_dynamic; do
  exe=$bin/$program.exe
  case $case in
  boards_asked_for)
    # Bus 42 matches no board, so the first board answers for it.
    use_scenario "$here/example_boards.json"
    run 7 9 1 42
    expect_code 1 "7 9 1 42"
    expect_quiet "7 9 1 42"
    expect_output "GPU 7
  controller: firmware 0x0520, capability bits 0xF
  thermal map (degrees C): 43.00 42.00 42.50 n/a
  power status: not available (-2: no recent readings)
GPU 9
  controller: not available (-2: its firmware version could not be read)
$no_function
GPU 1
$first_board
GPU 42
$first_board" "7 9 1 42"
    ;;
  default_machine)
    # Without arguments: the first board (-1). The default machine's board is lively: every value
    # drifts around the preset's, temperatures by up to 2.5 degrees, power readings by up to 0.8.
    use_scenario ""
    run
    expect_code 0 "on the default machine"
    expect_quiet "on the default machine"
    printf '%s\n' "$out" | awk '
      function near(value, centre, swing) { return value >= centre - swing - 0.005 && value <= centre + swing + 0.005 }
      NR == 1 { if ($0 != "GPU -1") bad = bad " header" }
      NR == 2 { if ($0 != "  controller: firmware 0x0520, capability bits 0xF") bad = bad " controller" }
      /^  thermal map \(degrees C\):/ {
        split("47.85 46.15 45.70 50.30", c, " ")
        for (i = 1; i <= 4; ++i) if (!near($(4 + i), c[i], 2.5)) bad = bad " temperature" i
        thermal = 1
      }
      /^  power status \(controller units\):/ {
        split("0.410 0.840 5.120 5.305 5.180 5.210", c, " ")
        sum = 0
        for (i = 1; i <= 6; ++i) { v = $(4 + i) + 0; sum += v; if (!near(v, c[i], 0.8)) bad = bad " power" i }
        if (!near($12 + 0, sum, 0.006)) bad = bad " total"
        if ($15 != "0") bad = bad " over-limit"
        power = 1
      }
      END { if (!thermal || !power) bad = bad " missing-lines"; if (bad != "") { print "wrong:" bad; exit 1 } }
    ' || fail "$program on the default machine: $out"
    ;;
  no_board)
    use_scenario "$scenarios/no-vendor.json"
    run
    expect_code 1 "without any board"
    expect_output "GPU -1
$no_board" "without any board"
    ;;
  word_that_is_no_gpu_id)
    use_scenario "$here/example_boards.json"
    run 1 bus7
    expect_code 2 "1 bus7"
    expect_output "" "1 bus7"
    case $err in
    *"'bus7' is not a GPU identifier"*) ;;
    *) fail "$program 1 bus7: stderr '$err' does not name the word" ;;
    esac
    ;;
  without_the_dll_beside_it)
    # A copy of the program in a folder of its own, as a host developer might try it first.
    cp "$exe" "$work/"
    exe=$work/$program.exe
    use_scenario ""
    run
    expect_output "" "without TorvexModule.dll"
    if [ $program = print_boards ]; then
      # Windows refuses to start it; wine-run says why, in one line.
      expect_code 53 "without TorvexModule.dll"
      [ "$(printf '%s\n' "$err" | wc -l)" = 1 ] || fail "$program: more than one line on stderr: $err"
      case $err in
      "wine-run: $exe could not start: a DLL it needs was not found"*) ;;
      *) fail "$program without TorvexModule.dll: stderr '$err'" ;;
      esac
    else
      expect_code 3 "without TorvexModule.dll"
      case $err in
      *"TorvexModule.dll (Windows error 126)"*) ;;
      *) fail "$program without TorvexModule.dll: stderr '$err'" ;;
      esac
    fi
    ;;
  *)
    echo "unknown case $case"
    exit 2
    ;;
  esac
done

[ "$failures" = 0 ] || exit 1
echo "$case: both example hosts passed"
