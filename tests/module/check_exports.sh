#!/bin/sh
# The DLL's export table must hold exactly the names of the export table, undecorated.
# Usage: check_exports.sh <dll> <file of the expected names, one a line>
set -eu
dll=$1
expected=$(sort "$2")
# objdump -p lists exports as "[ordinal] name" lines inside the "[Ordinal/Name Pointer] Table".
actual=$(${OBJDUMP:?} -p "$dll" |
  sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort)
if [ "$expected" != "$actual" ]; then
  echo "the DLL's exports differ from the export table's names:"
  printf '%s\n' "$expected" > /tmp/tvx_expected.$$
  printf '%s\n' "$actual" | diff /tmp/tvx_expected.$$ - || true
  rm -f /tmp/tvx_expected.$$
  exit 1
fi
echo "$(printf '%s\n' "$expected" | wc -l) exports, as the table lists them: 1 passed, 0 failed"
