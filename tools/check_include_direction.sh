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

# One pass of awk over every file: "file:line: message" for each include against the layering.
git ls-files -z --cached --others --exclude-standard -- '*.h' '*.hpp' '*.c' '*.cpp' '*.in' |
  xargs -0 -r awk -v layers="base vendor gpu card helperchannel syssensors module" '
    BEGIN {
      n = split(layers, names, " ")
      for (i = 1; i <= n; ++i) rank[names[i]] = i
    }
    FNR == 1 { top = FILENAME; sub(/\/.*/, "", top) }
    /^[ \t]*#[ \t]*include[ \t]+"[^"]+"/ {
      include = $0
      sub(/^[^"]*"/, "", include)
      sub(/".*/, "", include)
      if (include == "TorvexModule.h" || include == "TorvexBench.h") next
      folder = (index(include, "/") > 0) ? substr(include, 1, index(include, "/") - 1) : ""
      if (top in rank) {
        if (!(folder in rank))
          bad[++count] = FILENAME ":" FNR ": \"" include "\" does not name a layer'"'"'s folder"
        else if (rank[folder] > rank[top])
          bad[++count] = FILENAME ":" FNR ": " top "/ may not include \"" include "\" (" folder "/ is above it)"
      } else if (top == "bench" && (folder in rank) && folder != "base" && folder != "vendor") {
        bad[++count] = FILENAME ":" FNR ": bench/ may use only base/ and vendor/, not \"" include "\""
      }
    }
    END {
      for (i = 1; i <= count; ++i) print bad[i]
      if (count > 0) { print count " include(s) run against the layering"; exit 1 }
      print "every include runs down the layering"
    }'
