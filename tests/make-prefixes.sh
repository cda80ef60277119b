#!/bin/bash
# Creates the pristine Wine prefixes of this build: a 64-bit one (the program runs under
# WoW64) and a 32-bit one. Kept in the build tree and reused by later runs.
set -u
dir=$1
mkdir -p "$dir"
export WINEDEBUG=-all
make_prefix() { # name arch
  local p="$dir/pristine-$1"
  [ -f "$p/.ready" ] && return 0
  rm -rf "$p"
  if [ "$2" = win32 ]; then
    WINEPREFIX="$p" WINEARCH=win32 wine wineboot -i >/dev/null 2>&1
  else
    WINEPREFIX="$p" WINEARCH=win64 wine wineboot -i >/dev/null 2>&1
  fi
  # No crash dialogs: a test that faults must fail, not wait for a click.
  WINEPREFIX="$p" wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  WINEPREFIX="$p" wineserver -w
  [ -f "$p/system.reg" ] || { echo "could not create the $1 prefix" >&2; return 1; }
  touch "$p/.ready"
}
make_prefix win64 win64 & a=$!
make_prefix win32 win32 & b=$!
wait $a || exit 1
wait $b || exit 1
echo "prefixes ready in $dir"
