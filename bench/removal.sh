#!/bin/bash
# Removal benchmark: uninstall.exe /s against the least work its list allows.
#   bench/removal.sh [FANOUT] [FILES] [BYTES] [ROUNDS]
# lays out an installation of FANOUT folders each holding FANOUT, each holding FANOUT, and in
# each of those one folder with FILES files of BYTES bytes (defaults 10, 10, 100: 10,000 files
# in 2,110 folders), lists every folder (parents first) and then every file in "Uninstall.lst",
# plus the program. Two identical trees in one 64-bit Wine prefix: uninstall.exe /s removes one,
# a reference program (one DeleteFileA per line, then one RemoveDirectoryA per remaining line,
# deepest first) the other. ROUNDS (default 1) repeats both, alternating which goes first, and
# prints each time and the ratio of the sums. Needs the cross build (build/uninstall.exe);
# UNINSTALL_EXE=path times another build of the program instead.
set -eu
fanout=${1:-10} files=${2:-10} bytes=${3:-100} rounds=${4:-1}
cd "$(dirname "$0")/.."
src=$PWD build=$PWD/build
out=$build/bench
mkdir -p "$out"
program=${UNINSTALL_EXE:-$build/uninstall.exe}
[ -f "$program" ] || { echo "$program missing: build first" >&2; exit 1; }
cxx=i686-w64-mingw32-g++-posix
$cxx -std=c++20 -O2 -static -s -o "$out/reference_removal.exe" "$src/bench/reference_removal.cpp"
$cxx -std=c++20 -O2 -static -s -o "$out/time_run.exe" "$src/bench/time_run.cpp"

export WINEDEBUG=-all
tests/make-prefixes.sh "$build/wine" >/dev/null
export WINEPREFIX=$out/prefix64
rm -rf "$WINEPREFIX"
cp -a "$build/wine/pristine-win64" "$WINEPREFIX"
drive=$WINEPREFIX/drive_c

# layout DIR: the tree and its list in DIR (a Unix path).
layout() {
  python3 - "$1" "$fanout" "$files" "$bytes" <<'PY'
import os, sys
root, fanout, files, size = sys.argv[1], *map(int, sys.argv[2:])
folders, names = [], []
def walk(rel, level):
    for i in range(fanout):
        sub = f"{rel}\\dir{i}" if rel else f"dir{i}"
        folders.append(sub)
        if level < 3:
            walk(sub, level + 1)
        else:
            folders.append(sub + "\\files")
            names.extend(f"{sub}\\files\\file{j}.dat" for j in range(files))
walk("", 1)
data = b"x" * size
for f in folders:
    os.makedirs(os.path.join(root, f.replace("\\", "/")), exist_ok=True)
for n in names:
    with open(os.path.join(root, n.replace("\\", "/")), "wb") as fh:
        fh.write(data)
with open(os.path.join(root, "Uninstall.lst"), "w", newline="") as fh:
    fh.write("".join(line + "\r\n" for line in folders + names + ["uninstall.exe"]))
PY
  cp "$program" "$1/uninstall.exe"
}

# timed PROGRAM ARGS...: milliseconds from start to end, measured on the Windows side.
timed() { wine "$out/time_run.exe" "$@" 2>&1 >/dev/null | tr -d "\r" | sed -n "s/^elapsed ms: //p"; }

run_removal() {
  layout "$drive/bench/removal"
  wineserver -w
  timed 'C:\bench\removal\uninstall.exe' /s
  wineserver -w # the batch file's second instance and the interpreter
}

run_reference() {
  layout "$drive/bench/reference"
  wineserver -w
  cp "$out/reference_removal.exe" "$drive/bench/reference_removal.exe"
  timed 'C:\bench\reference_removal.exe' 'C:\bench\reference'
  wineserver -w
}

echo "tree: $fanout x $fanout x $fanout folders, each with a folder of $files files of $bytes bytes"
total_removal=0 total_reference=0
for ((r = 1; r <= rounds; r++)); do
  if ((r % 2)); then
    a=$(run_removal); b=$(run_reference)
  else
    b=$(run_reference); a=$(run_removal)
  fi
  left=$(find "$drive/bench/removal" "$drive/bench/reference" -mindepth 1 2>/dev/null | wc -l)
  echo "round $r: removal ${a} ms, reference ${b} ms (entries left in both trees: $left)"
  total_removal=$((total_removal + a)) total_reference=$((total_reference + b))
done
echo "removal $total_removal ms, reference $total_reference ms, ratio $(python3 -c "print(f'{$total_removal / $total_reference:.2f}')")"
wineserver -k || true
