#!/usr/bin/env bash
# Fails when an include runs against the allowed dependencies between the source folders, which
# cmake/layers.txt lists (cmake/Layout.cmake checks the targets' links against the same map). A
# file in a layer includes its own folder, the folders its layer may use, or the public header,
# always naming the folder ("gpu/gpu_entry.h"). A file of a user of the layers (bench/, tools/)
# includes from the layers only what its line allows. Other folders (tests/) are not checked.
# Usage: check_include_direction.sh [root]
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

# One pass of awk over the map and then every file: "file:line: message" for each include against
# the map.
git ls-files -z --cached --others --exclude-standard -- '*.h' '*.hpp' '*.c' '*.cpp' '*.in' |
  xargs -0 -r awk '
    FNR == NR {
      if ($0 ~ /^[ \t]*(#|$)/) next
      kind = $1
      folder = $2
      sub(/:$/, "", folder)
      if (kind == "public") {
        for (i = 3; i <= NF; ++i) publicHeader[$i] = 1
        next
      }
      mapped[folder] = kind
      allowed[folder, folder] = 1
      for (i = 3; i <= NF; ++i) allowed[folder, $i] = 1
      next
    }
    FNR == 1 { top = FILENAME; sub(/\/.*/, "", top) }
    !(top in mapped) { nextfile }
    /^[ \t]*#[ \t]*include[ \t]+"[^"]+"/ {
      include = $0
      sub(/^[^"]*"/, "", include)
      sub(/".*/, "", include)
      if (include in publicHeader) next
      folder = (index(include, "/") > 0) ? substr(include, 1, index(include, "/") - 1) : ""
      if (!(folder in mapped)) {
        if (mapped[top] == "layer")
          bad[++count] = FILENAME ":" FNR ": \"" include "\" does not name a layer'"'"'s folder"
      } else if (!((top, folder) in allowed)) {
        bad[++count] = FILENAME ":" FNR ": " top "/ may not include \"" include "\" (cmake/layers.txt)"
      }
    }
    END {
      for (i = 1; i <= count; ++i) print bad[i]
      if (count > 0) { print count " include(s) run against the layering"; exit 1 }
      print "every include runs down the layering"
    }' cmake/layers.txt
