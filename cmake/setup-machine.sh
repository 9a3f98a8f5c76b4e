#!/usr/bin/env bash
# Installs what building and running TorvexModule needs on a Debian 12 machine: the MinGW-w64 cross
# compilers for 32- and 64-bit Windows, 64-bit Wine, clang with its sanitizer and libFuzzer runtimes
# (the native build), and the header-only and source packages the build uses. Where the machine can
# run 32-bit programs it also adds the i386 architecture and 32-bit Wine; where it cannot, it says
# so and leaves the machine's architectures alone.
# Safe to run again: it returns at once when everything is there.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

needed_cmds=(i686-w64-mingw32-g++-posix x86_64-w64-mingw32-g++-posix wine cmake ninja clang++ flock)
needed_files=(/usr/src/googletest/CMakeLists.txt /usr/include/nlohmann/json.hpp /usr/include/CLI/CLI.hpp
  /usr/lib/wine/wine64)
packages=(g++-mingw-w64-i686 binutils-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64
  cmake make ninja-build googletest nlohmann-json3-dev libcli11-dev clang libclang-rt-14-dev util-linux)

runs_32bit=1
sh "$here/ia32-check.sh" >/dev/null || runs_32bit=0

missing=0
for c in "${needed_cmds[@]}"; do command -v "$c" >/dev/null 2>&1 || missing=1; done
for f in "${needed_files[@]}"; do [ -e "$f" ] || missing=1; done
compgen -G '/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' >/dev/null || missing=1
# wine32 is what actually runs 32-bit programs; the wine front end alone is not enough.
if [ "$runs_32bit" = 1 ]; then
  dpkg -s wine32:i386 >/dev/null 2>&1 || missing=1
fi
[ "$missing" = 0 ] && exit 0

SUDO=""
[ "$(id -u)" = 0 ] || SUDO="sudo"

prefs=$(mktemp)
trap 'rm -f "$prefs"' EXIT
if [ "$runs_32bit" = 1 ]; then
  echo "setup: installing the cross compilers, 32- and 64-bit Wine and build packages (one-time)..." >&2
  $SUDO dpkg --add-architecture i386
  packages+=(wine32:i386)
  # Pin the security origin down so amd64 and i386 libraries come from the same (main) archive and
  # their versions agree, which wine32:i386 requires.
  cat >"$prefs" <<'PREFS'
Package: *
Pin: release l=Debian-Security
Pin-Priority: 100
PREFS
else
  echo "setup: installing the cross compilers, 64-bit Wine and build packages (one-time); 32-bit Wine" >&2
  echo "setup: is left out because this machine cannot run it:" >&2
  sh "$here/ia32-check.sh" | sed 's/^/setup:   /' >&2 || true
fi
chmod 644 "$prefs"

# The i386 index of the security suite is sometimes caught mid-sync; a partial update is fine
# because the pin above takes every package from the main archive anyway.
$SUDO apt-get update -qq || echo "setup: apt-get update reported errors; continuing" >&2
DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o Dir::Etc::Preferences="$prefs" install -y -qq \
  --no-install-recommends "${packages[@]}" >/dev/null
echo "setup: done" >&2
