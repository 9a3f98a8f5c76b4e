#!/usr/bin/env bash
# Fails when an include runs against the layering
#   base <- vendor <- gpu <- card <- helperchannel <- syssensors <- module
# A file in a layer includes its own layer or a lower one, naming the folder ("gpu/gpu_entry.h");
# the public header TorvexModule.h is open to all. bench/ uses only base/ and vendor/ (and the
# public headers); tools/ sits on top and tests/ beside everything, so both may include any layer.
# Usage: check_include_direction.sh [root]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

layers=(base vendor gpu card helperchannel syssensors module)
rank() {
  local i
  for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }; done
  echo -1
}
public_header() { [ "$1" = TorvexModule.h ] || [ "$1" = TorvexBench.h ]; }

failures=0
fail() { echo "$1"; failures=$((failures + 1)); }

while IFS= read -r file; do
  top=${file%%/*}
  own=$(rank "$top")
  while IFS=: read -r line include; do
    public_header "$include" && continue
    folder=${include%%/*}
    [ "$folder" = "$include" ] && folder=""
    target=-1
    [ -n "$folder" ] && target=$(rank "$folder")
    if [ "$own" -ge 0 ]; then
      if [ "$target" -lt 0 ]; then
        fail "$file:$line: \"$include\" does not name a layer's folder"
      elif [ "$target" -gt "$own" ]; then
        fail "$file:$line: $top/ may not include \"$include\" ($folder/ is above it)"
      fi
    elif [ "$top" = bench ]; then
      if [ "$target" -ge 0 ] && [ "$folder" != base ] && [ "$folder" != vendor ]; then
        fail "$file:$line: $top/ may use only base/ and vendor/, not \"$include\""
      fi
    fi
  done < <(grep -n -o -E '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[^"]+"' "$file" |
           sed -E 's/^([0-9]+):.*"([^"]+)"/\1:\2/')
done < <(git ls-files --cached --others --exclude-standard -- '*.h' '*.hpp' '*.c' '*.cpp' '*.in')

if [ "$failures" -gt 0 ]; then
  echo "$failures include(s) run against the layering"
  exit 1
fi
echo "every include runs down the layering"
