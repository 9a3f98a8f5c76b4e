#!/bin/sh
# What a host developer does with the package: install it into a fresh prefix, build the example
# hosts from the installed copy as a project of their own (find_package(TorvexModule)), and the zip
# of the package target holds exactly the files of the install ("build", which needs no Wine); then
# run those hosts under Wine on the bench's default machine ("run", after "build").
#   install_test.sh build|run <build dir> <toolchain file> <work folder>
set -eu
mode=$1
build=$2
toolchain=$3
work=$4
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

if [ "$mode" = run ]; then
  for program in print_boards print_boards_dynamic; do
    status=0
    out=$("$build/wine-run" "$work/examples/$program.exe" | tr -d '\r') || status=$?
    [ "$status" = 77 ] && exit 77  # this machine cannot run the build's programs; wine-run said why
    [ "$status" = 0 ] || fail "$program exited with $status: $out"
    case $out in
    "GPU -1
  controller: firmware 0x"*"
  thermal map (degrees C): "*"
  power status (controller units): "*) ;;
    *) fail "$program printed: $out" ;;
    esac
  done
  echo "the installed example hosts ran"
  exit 0
fi

rm -rf "$work"
mkdir -p "$work"
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
version=$(sed -n 's/^#define TORVEX_MODULE_VERSION_\(MAJOR\|MINOR\|PATCH\) \([0-9]*\)$/\2/p' "$prefix/include/TorvexModule.h" |
  paste -sd.)
cpack -G ZIP --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 || show "$work/cpack.log" "cpack"
zip=$work/package/TorvexModule-$version-win32.zip
[ -f "$zip" ] || fail "no $zip"
(cd "$work" && cmake -E tar tf "$zip") | grep -v '/$' | sed "s|^TorvexModule-$version-win32/||" | sort >"$work/zip.list"
(cd "$prefix" && find . -type f) | sed 's|^\./||' | sort >"$work/install.list"
diff -u "$work/install.list" "$work/zip.list" || fail "the zip's files differ from the install's"
echo "installed, built against and packed: $(wc -l <"$work/install.list") files"
