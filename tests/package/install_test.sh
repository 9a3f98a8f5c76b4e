#!/bin/sh
# What a host developer does with the package: install it into a fresh prefix, build the example
# hosts from the installed copy as a project of their own (find_package(TorvexModule)), run them
# under Wine on the bench's default machine; and the zip of the package target holds exactly the
# files of the install.
#   install_test.sh <build dir> <toolchain file>
set -eu
build=$1
toolchain=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

fail() {
  echo "FAIL: $*"
  exit 1
}

# show <log> <what failed>
show() {
  cat "$1"
  fail "$2"
}

cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || show "$work/install.log" "cmake --install"
for file in bin/TorvexModule.dll bin/torvexctl.exe include/TorvexModule.h lib/libTorvexModule.dll.a \
  lib/TorvexModule.lib lib/cmake/TorvexModule/TorvexModuleConfig.cmake docs/api.md examples/CMakeLists.txt \
  bench/bin/torvexbench.dll bench/bin/nvapi.dll bench/scenarios/default.json bench/README.md README.md LICENSE \
  THIRD_PARTY_NOTICES.txt; do
  [ -f "$prefix/$file" ] || fail "the install lacks $file"
done

cmake -S "$prefix/examples" -B "$work/examples" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$prefix" \
  >"$work/configure.log" 2>&1 || show "$work/configure.log" "configuring the examples against the installed package"
cmake --build "$work/examples" >"$work/build.log" 2>&1 || show "$work/build.log" "building the examples"
for program in print_boards print_boards_dynamic; do
  out=$("$build/wine-run" "$work/examples/$program.exe" | tr -d '\r') || fail "$program exited non-zero: $out"
  case $out in
  "GPU -1
  controller: firmware 0x"*"
  thermal map (degrees C): "*"
  power status (controller units): "*) ;;
  *) fail "$program printed: $out" ;;
  esac
done

version=$(sed -n 's/^#define TORVEX_MODULE_VERSION_\(MAJOR\|MINOR\|PATCH\) \([0-9]*\)$/\2/p' "$prefix/include/TorvexModule.h" |
  paste -sd.)
cpack -G ZIP --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 || show "$work/cpack.log" "cpack"
zip=$work/package/TorvexModule-$version-win32.zip
[ -f "$zip" ] || fail "no $zip"
(cd "$work" && cmake -E tar tf "$zip") | grep -v '/$' | sed "s|^TorvexModule-$version-win32/||" | sort >"$work/zip.list"
(cd "$prefix" && find . -type f) | sed 's|^\./||' | sort >"$work/install.list"
diff -u "$work/install.list" "$work/zip.list" || fail "the zip's files differ from the install's"
echo "installed, built against, ran, and packed: $(wc -l <"$work/install.list") files"
