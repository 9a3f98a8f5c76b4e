#!/bin/sh
# What a host developer does with the package: install it into a fresh prefix, which holds this
# build's width and ships TorvexModule.dll and torvexctl.exe stripped, their debugging information
# beside them; build the example hosts from the installed copy as a project of their own
# (find_package(TorvexModule)); the zip of the package target holds exactly the install ("build",
# which needs no Wine). In the 64-bit tree, with the 32-bit one beside it, both installed into
# one prefix serve hosts of either width. Then run the hosts under Wine on the bench's default
# machine ("run", after "build").
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
    out=$("$build/wine-run" "$work/examples/$program.exe") || status=$?
    [ "$status" = 77 ] && exit 77  # this machine cannot run the build's programs; wine-run said why
    out=$(printf '%s\n' "$out" | tr -d '\r')
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

# The toolchain file names the MinGW target, which says the width.
triple=$(sed -n 's/^set(TORVEX_MINGW_TRIPLE \(.*\))$/\1/p' "$toolchain")
case $triple in
i686-*)
  width=x86 other=x64 bin=bin bench_bin=bench/bin nvapi=nvapi.dll suffix=win32 format=pei-i386
  misplaced='^(bin/x64|lib/x64|bench/bin/x64)/|^lib/[^/]*$'
  ;;
x86_64-*)
  width=x64 other=x86 bin=bin/x64 bench_bin=bench/bin/x64 nvapi=nvapi64.dll suffix=win64 format=pei-x86-64
  misplaced='^(bin|bench/bin)/[^/]*$|^lib/x86/|^lib/[^/]*$'
  ;;
*) fail "$toolchain names no MinGW target (TORVEX_MINGW_TRIPLE is '$triple')" ;;
esac
lib=lib/$width

# has_section <binary> <section name>
has_section() {
  "$triple-objdump" -h "$1" | awk '{ print $2 }' | grep -qx -- "$2"
}

# file_format <binary> [<MinGW target>]: pei-i386 or pei-x86-64
file_format() {
  "${2:-$triple}-objdump" -f "$1" | sed -n 's/.*file format //p'
}

rm -rf "$work"
mkdir -p "$work"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || show "$work/install.log" "cmake --install"
(cd "$prefix" && find . -type f) | sed 's|^\./||' | sort >"$work/install.list"
for file in $bin/TorvexModule.dll $bin/TorvexModule.dll.debug $bin/torvexctl.exe $bin/torvexctl.exe.debug \
  include/TorvexModule.h $lib/libTorvexModule.dll.a $lib/TorvexModule.lib \
  lib/cmake/TorvexModule/TorvexModuleConfig.cmake lib/cmake/TorvexModule/TorvexModuleConfigVersion.cmake \
  lib/cmake/TorvexModule/TorvexModuleTargets-$width.cmake docs/api.md examples/CMakeLists.txt \
  $bench_bin/torvexbench.dll $bench_bin/$nvapi bench/scenarios/default.json bench/README.md README.md LICENSE \
  THIRD_PARTY_NOTICES.txt; do
  [ -f "$prefix/$file" ] || fail "the install lacks $file"
done
if grep -E "$misplaced|TorvexModuleTargets-$other" "$work/install.list" >"$work/misplaced.list"; then
  fail "the $width install has files outside its width's folders: $(cat "$work/misplaced.list")"
fi
for program in TorvexModule.dll torvexctl.exe; do
  shipped=$prefix/$bin/$program
  [ "$(file_format "$shipped")" = $format ] || fail "$bin/$program is $(file_format "$shipped"), not $format"
  if has_section "$shipped" .debug_info; then fail "$bin/$program ships with its debugging information"; fi
  has_section "$shipped.debug" .debug_info || fail "$bin/$program.debug lacks the debugging information"
  "$triple-objcopy" --dump-section .gnu_debuglink="$work/debuglink" "$shipped" "$work/debuglink-source" \
    >"$work/debuglink.log" 2>&1 || show "$work/debuglink.log" "$bin/$program has no readable .gnu_debuglink"
  name=$(tr '\000' '\n' <"$work/debuglink" | head -n 1)
  [ "$name" = "$program.debug" ] || fail "$bin/$program names '$name' for its debugging information"
done

cmake -S "$prefix/examples" -B "$work/examples" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$prefix" \
  >"$work/configure.log" 2>&1 || show "$work/configure.log" "configuring the examples against the installed package"
cmake --build "$work/examples" >"$work/build.log" 2>&1 || show "$work/build.log" "building the examples"
version=$(sed -n 's/^#define TORVEX_MODULE_VERSION_\(MAJOR\|MINOR\|PATCH\) \([0-9]*\)$/\2/p' "$prefix/include/TorvexModule.h" |
  paste -sd.)
# A build configured with TORVEX_OTHER_WIDTH_BUILD packs both widths' installs in one zip.
other_build=$(sed -n 's/^TORVEX_OTHER_WIDTH_BUILD:PATH=//p' "$build/CMakeCache.txt")
if [ -n "$other_build" ]; then
  cmake --install "$other_build" --prefix "$prefix" >"$work/install-other.log" 2>&1 ||
    show "$work/install-other.log" "installing $other_build, the other width's build"
  suffix=windows
fi
cpack -G ZIP --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 || show "$work/cpack.log" "cpack"
zip=$work/package/TorvexModule-$version-$suffix.zip
[ -f "$zip" ] || fail "no $zip"
mkdir "$work/unzipped"
(cd "$work/unzipped" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
diff -r "$prefix" "$work/unzipped/TorvexModule-$version-$suffix" >"$work/zip.diff" 2>&1 ||
  show "$work/zip.diff" "the zip's files differ from the install's"
echo "installed, built against and packed: $(find "$prefix" -type f | wc -l) files"

# Both widths' builds installed into one prefix: the examples build for each width, linking that
# width's import library and taking that width's DLL. Either tree would check the same, so the
# 64-bit tree does it.
trees=$(dirname "$build")
if [ "$width" != x64 ] || [ ! -f "$trees/win32/CMakeCache.txt" ] || [ ! -f "$trees/win64/CMakeCache.txt" ]; then
  exit 0
fi
both=$work/both
for tree in win32 win64; do
  cmake --install "$trees/$tree" --prefix "$both/prefix" >"$work/install-$tree.log" 2>&1 ||
    show "$work/install-$tree.log" "installing build/$tree into the prefix of both widths"
done
toolchains=$(dirname "$toolchain")
for w in x86 x64; do
  case $w in
  x86) w_triple=i686-w64-mingw32 w_bin=bin w_format=pei-i386 ;;
  x64) w_triple=x86_64-w64-mingw32 w_bin=bin/x64 w_format=pei-x86-64 ;;
  esac
  examples=$both/examples-$w
  cmake -S "$both/prefix/examples" -B "$examples" -DCMAKE_TOOLCHAIN_FILE="$toolchains/toolchain-${w_triple%%-*}-mingw.cmake" \
    -DCMAKE_PREFIX_PATH="$both/prefix" >"$work/configure-$w.log" 2>&1 ||
    show "$work/configure-$w.log" "configuring the $w examples against the prefix of both widths"
  cmake --build "$examples" >"$work/build-$w.log" 2>&1 ||
    show "$work/build-$w.log" "building the $w examples against the prefix of both widths"
  # The link's command line, partly in response files.
  link=$(cat "$examples/CMakeFiles/print_boards.dir/link.txt" "$examples/CMakeFiles/print_boards.dir/"*.rsp 2>/dev/null || true)
  case $link in
  *"$both/prefix/lib/$w/libTorvexModule.dll.a"*) ;;
  *) fail "the $w print_boards does not link lib/$w/libTorvexModule.dll.a: $link" ;;
  esac
  for program in print_boards.exe print_boards_dynamic.exe; do
    [ "$(file_format "$examples/$program" $w_triple)" = $w_format ] || fail "the $w $program is not $w_format"
  done
  cmp -s "$examples/TorvexModule.dll" "$both/prefix/$w_bin/TorvexModule.dll" ||
    fail "the $w examples took another DLL than $w_bin/TorvexModule.dll"
done
echo "both widths installed into one prefix: the examples built for x86 and for x64"
