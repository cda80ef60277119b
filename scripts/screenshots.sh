#!/bin/bash
# Takes the screenshots of the three dialogs from the real program under Xvfb, native and
# with the English language file beside it, at 96 and at 144 DPI, into docs/screenshots/.
# Needs a built tree.
set -e
cd "$(dirname "$0")/.."
. scripts/xvfb.sh
out=docs/screenshots
prefix="$PWD/build/wine/screenshots"
rm -rf "$prefix"; cp -a build/wine/pristine-win64 "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8
# No menu entries on this machine's desktop for the sample shortcuts.
export WINEDLLOVERRIDES=winemenubuilder.exe=d
# The server writes the registry as it ends: the prefix goes after it, whatever failed before.
on_exit 'wineserver -k 2>/dev/null; wineserver -w; rm -rf "$prefix"'
# Wine draws the caption itself, so the screenshot shows it.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1

find_window() { # title-regex [id to skip]; prints the id of a visible window
  local id=""
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | grep -vx "${2:-none}" | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  echo "no window '$1'" >&2; return 1
}

shoot() { # window-id file
  sleep 1
  import -window "$1" "$2"
  echo "$2"
}

press() { # window-id keys
  xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
  xdotool key --window "$1" "$2"
}

run() { # suffix dpi setup-title items-title [language file]
  local inst="$prefix/drive_c/Program Files/Quibex" setup items done
  rm -rf "$inst"; mkdir -p "$inst"
  cp build/uninstall.exe build/tests/standin/Quibex.exe build/tests/fixtures/quibex.chm tests/fixtures/install/* "$inst/"
  [ -n "${5:-}" ] && cp "$5" "$inst/uninstall.lng"
  # Wine reads the screen's DPI from here when a program starts.
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$2" /f >/dev/null 2>&1
  (cd "$inst" && wine uninstall.exe /setup >/dev/null 2>&1 &)
  setup=$(find_window "$3"); shoot "$setup" "$out/setup-$1.png"
  press "$setup" alt+c
  items=$(find_window "$4"); shoot "$items" "$out/context-items-$1.png"
  press "$items" Escape
  for _ in $(seq 50); do xdotool search --onlyvisible --name "$4" >/dev/null 2>&1 || break; sleep 0.2; done
  press "$setup" Return
  # The completion dialog has the setup dialog's title: wait for the setup dialog to go.
  for _ in $(seq 100); do xdotool getwindowname "$setup" >/dev/null 2>&1 || break; sleep 0.2; done
  done=$(find_window "$3" "$setup"); shoot "$done" "$out/done-$1.png"
  press "$done" Return
  sleep 1; wineserver -k 2>/dev/null || true; wineserver -w
}

for dpi in 96 144; do
  scale=$([ $dpi = 96 ] || echo "-$dpi")
  run "zh$scale" $dpi 'Quibex 简体中文版安装' '关联菜单项目'
  run "en$scale" $dpi 'Quibex setup' 'Context menu items' lang/english/uninstall.lng
done
