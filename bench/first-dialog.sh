#!/bin/bash
# Start-up benchmark: from CreateProcess of "uninstall.exe /setup" in its installation folder
# until its first dialog is visible, against a bare dialog program built the same way, in a
# 64-bit Wine prefix under Xvfb. Prints both medians and the ratio.
#   bench/first-dialog.sh [RUNS]      (default 33; needs a built tree: build/uninstall.exe)
# A benchmark, not a test: the figure depends on the machine and its load.
set -e
cd "$(dirname "$0")/.."
runs=${1:-33}
out=build/bench
mkdir -p "$out"
program=${QBX_PROGRAM:-build/uninstall.exe} # another build of it may be named for a comparison
[ -f "$program" ] || { echo "build the program first (cmake --build build)" >&2; exit 1; }

# The bare program gets the program's compiler and linker flags and its manifest.
cxx=i686-w64-mingw32-g++-posix
flags="-Os -Wall -Werror -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -fno-unwind-tables -flto"
i686-w64-mingw32-windres -c 65001 -I build/generated/utf8 bench/bare_dialog.rc -O coff -o "$out/bare_dialog.res"
$cxx $flags -mwindows -nostartfiles -static -s bench/bare_dialog.cpp "$out/bare_dialog.res" -o "$out/bare_dialog.exe"
$cxx -O2 -Wall -Werror -static -s bench/first_dialog_timer.cpp -o "$out/first_dialog_timer.exe"

prefix="$PWD/$out/wine64"
export WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8
if [ ! -f "$prefix/.ready" ]; then
  rm -rf "$prefix"
  WINEARCH=win64 wine wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wineserver -w
  touch "$prefix/.ready"
fi
. scripts/xvfb.sh
on_exit 'wineserver -k 2>/dev/null'

inst="$prefix/drive_c/Quibex" bare="$prefix/drive_c/Bare"
rm -rf "$inst" "$bare"; mkdir -p "$inst" "$bare"
cp "$program" "$inst/uninstall.exe"; cp tests/fixtures/install/* "$inst/"
[ -f build/tests/standin/Quibex.exe ] && cp build/tests/standin/Quibex.exe "$inst/"
cp "$out/bare_dialog.exe" "$bare/"
cp "$out/first_dialog_timer.exe" "$prefix/drive_c/"

echo "$runs runs each, alternating, after one untimed run of each; $(date -u +%Y-%m-%d), $(nproc) cores, $(wine --version)"
wine 'C:\first_dialog_timer.exe' 1 'C:\Bare' 'C:\Bare\bare_dialog.exe' 'C:\Quibex' 'C:\Quibex\uninstall.exe /setup' >/dev/null
wine 'C:\first_dialog_timer.exe' "$runs" 'C:\Bare' 'C:\Bare\bare_dialog.exe' 'C:\Quibex' 'C:\Quibex\uninstall.exe /setup'
