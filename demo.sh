#!/bin/bash
# Shows the whole story on a sample installation in a private Wine prefix under ./demo:
# silent setup, what Windows shows afterwards, quiet removal, and what is left.
set -e
cd "$(dirname "$0")"
scripts/setup-machine.sh
cmake -S . -B build -DQBX_TESTS=ON >/dev/null
cmake --build build -j2 --target uninstall quibex_standin quibex_chm >/dev/null
. scripts/xvfb.sh

export WINEPREFIX="$PWD/demo/prefix" WINEDEBUG=-all LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8
# No menu entries on this machine's desktop for the sample shortcuts.
export WINEDLLOVERRIDES=winemenubuilder.exe=d
if [ ! -f "$WINEPREFIX/.ready" ]; then
  echo "== creating the Wine prefix in demo/prefix (once, about 20 s)"
  rm -rf "$WINEPREFIX"; mkdir -p demo
  if [ -f build/wine/pristine-win64/.ready ]; then cp -a build/wine/pristine-win64 "$WINEPREFIX"
  else WINEARCH=win64 wine wineboot -i >/dev/null 2>&1; wineserver -w; fi
  touch "$WINEPREFIX/.ready"
fi
on_exit 'wineserver -k 2>/dev/null'

inst="$WINEPREFIX/drive_c/Program Files/Quibex"
win='C:\Program Files\Quibex'
rm -rf "$inst"; mkdir -p "$inst"
cp build/tests/standin/Quibex.exe "$inst/Quibex.exe"
printf 'placeholder' > "$inst/qbxext.dll"
printf 'placeholder' > "$inst/qbxext64.dll"
cp build/tests/fixtures/quibex.chm tests/fixtures/install/* "$inst/"
cp build/uninstall.exe "$inst/uninstall.exe"
printf 'Quibex.exe\r\nqbxext.dll\r\nqbxext64.dll\r\nquibex.chm\r\nQbx.txt\r\nlicense.txt\r\norder.htm\r\nqbxnew.dat\r\nzipnew.dat\r\nuninstall.exe\r\n' \
  > "$inst/Uninstall.lst"
wine reg add 'HKCR\.zip' /ve /d CompressedFolder /f >/dev/null 2>&1

utf8() { iconv -f GBK -t UTF-8 -c; } # Wine's console speaks the ANSI code page 936
show() { # what Windows shows
  echo "-- installed programs (wine uninstaller --list):"
  wine uninstaller --list 2>/dev/null | utf8 | sed 's/^/   /'
  echo "-- associations:"
  for e in .qbx .zip .7z .rev; do
    v=$(wine reg query "HKCR\\$e" /ve 2>/dev/null | tr -d '\r' | awk '/REG_SZ/ {print $NF}')
    echo "   $e -> ${v:-(none)}"
  done
  echo "-- App Paths\\Quibex.exe: $(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths\Quibex.exe' /ve >/dev/null 2>&1 && echo present || echo absent)"
  echo "-- shortcuts:"
  (cd "$WINEPREFIX/drive_c" && find users ProgramData \( -iname '*quibex*' -o -ipath '*/Quibex/*' \) 2>/dev/null | sed 's/^/   C:\\/' ) || true
  echo "-- installation folder:"
  if [ -d "$inst" ]; then ls -A "$inst" | sed 's/^/   /'; else echo "   (gone)"; fi
}

echo "== before setup"; show
echo; echo "== silent setup: uninstall.exe /setup /s, run in the installation folder as the installer does"
(cd "$inst" && wine uninstall.exe /setup /s); wineserver -w
show
echo "-- uninstall entry:"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quibex archiver' 2>/dev/null \
  | utf8 | tr -d '\r' | grep -a REG_ | sed 's/^ */   /'

echo "-- Default apps: $(wine reg query 'HKLM\Software\RegisteredApplications' /v Quibex /reg:64 >/dev/null 2>&1 && echo registered || echo not registered)"

echo; echo "== quiet removal, as a deployment tool runs it: uninstall.exe /quiet"
wine "$win\\uninstall.exe" /quiet >/dev/null 2>&1
for _ in $(seq 60); do [ -d "$inst" ] || break; sleep 0.5; done
wineserver -w
show
echo "-- left in the registry under Software\\Quibex: $(wine reg query 'HKCU\Software\Quibex' >/dev/null 2>&1 && echo present || echo nothing)"
