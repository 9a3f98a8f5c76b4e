#!/usr/bin/env bash
# Installs what building and running TorvexModule needs on a Debian 12 machine: the i686 MinGW-w64
# cross compiler, 32-bit Wine, clang with its sanitizer and libFuzzer runtimes (the native build),
# and the header-only and source packages the build uses.
# Safe to run again: it returns at once when everything is there.
set -euo pipefail

needed_cmds=(i686-w64-mingw32-g++-posix wine cmake clang++)
needed_files=(/usr/src/googletest/CMakeLists.txt /usr/include/nlohmann/json.hpp /usr/include/CLI/CLI.hpp)

missing=0
for c in "${needed_cmds[@]}"; do command -v "$c" >/dev/null 2>&1 || missing=1; done
for f in "${needed_files[@]}"; do [ -e "$f" ] || missing=1; done
# wine32 is what actually runs 32-bit programs; the wine front end alone is not enough.
dpkg -s wine32:i386 >/dev/null 2>&1 || missing=1
compgen -G '/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' >/dev/null || missing=1
[ "$missing" = 0 ] && exit 0

SUDO=""
[ "$(id -u)" = 0 ] || SUDO="sudo"

echo "setup: installing the cross compiler, 32-bit Wine and build packages (one-time)..." >&2
$SUDO dpkg --add-architecture i386

# The i386 index of the security suite is sometimes caught mid-sync; a partial update is fine
# because the pin below takes every package from the main archive anyway.
$SUDO apt-get update -qq || echo "setup: apt-get update reported errors; continuing" >&2

# Pin the security origin down so amd64 and i386 libraries come from the same (main) archive and
# their versions agree, which wine32:i386 requires.
prefs=$(mktemp)
trap 'rm -f "$prefs"' EXIT
cat >"$prefs" <<'PREFS'
Package: *
Pin: release l=Debian-Security
Pin-Priority: 100
PREFS
chmod 644 "$prefs"

DEBIAN_FRONTEND=noninteractive $SUDO apt-get -o Dir::Etc::Preferences="$prefs" install -y -qq \
  --no-install-recommends \
  g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386 \
  cmake make googletest nlohmann-json3-dev libcli11-dev clang libclang-rt-14-dev >/dev/null
echo "setup: done" >&2
