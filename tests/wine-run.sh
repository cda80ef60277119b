#!/bin/bash
# wine-run.sh WINEDIR NAME ARCH VERSION LOCALE PROGRAM [ARGS...]
# Runs one Windows test program in a fresh copy of the pristine prefix of ARCH, with the
# Windows version VERSION emulated and the ANSI code page of LOCALE, then stops the prefix.
set -u
dir=$1 name=$2 arch=$3 version=$4 locale=$5 program=$6
shift 6
prefix="$dir/run-$name"
rm -rf "$prefix"
cp -a "$dir/pristine-$arch" "$prefix" || exit 1
export WINEPREFIX="$prefix" WINEDEBUG=${WINEDEBUG:--all} LC_ALL="$locale" LANG="$locale"
# Wine's menu helper, started for every saved shortcut, waits for its parent to end and can hold
# a shortcut open while a test deletes it; Windows has no such helper, and it would write menu
# entries for the test shortcuts into this machine's desktop.
export WINEDLLOVERRIDES="winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
if [ "$version" != default ]; then
  wine reg add 'HKCU\Software\Wine' /v Version /d "$version" /f >/dev/null 2>&1
fi
# Windows-side paths of the build and the sources, for the tests to find their files.
export QBX_BUILD_WIN="Z:$(echo "${QBX_BUILD_DIR:-$PWD}" | tr / '\\')"
export QBX_SOURCE_WIN="Z:$(echo "${QBX_SOURCE_DIR:-$PWD}" | tr / '\\')"
export QBX_PREFIX_UNIX="$prefix" QBX_ARCH="$arch" QBX_VERSION="$version"
wine "$program" "$@"
rc=$?
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
[ -n "${QBX_KEEP_PREFIX:-}" ] || rm -rf "$prefix"
exit $rc
