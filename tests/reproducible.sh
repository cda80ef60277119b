#!/bin/bash
# reproducible.sh SOURCE_DIR BUILD_DIR: builds the program again from a copy of the sources in
# another folder and fails unless it is byte-identical to BUILD_DIR's, so that anyone can check
# that a shipped program is the one its source makes.
set -eu
source=$1 build=$2
work="$build/reproducible"
rm -rf "$work"
mkdir -p "$work/source"
tar -C "$source" --exclude=./build --exclude=./.git --exclude=./demo -cf - . | tar -C "$work/source" -xf -
cmake -S "$work/source" -B "$work/build" -DQBX_TESTS=OFF \
  -DCMAKE_BUILD_TYPE="$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")" >/dev/null
cmake --build "$work/build" --target uninstall uninstall_legacy >/dev/null
status=0
for program in uninstall.exe uninstall_legacy.exe; do
  if cmp "$build/$program" "$work/build/$program"; then
    echo "$program: the same bytes from $work/source"
  else
    status=1
  fi
done
[ $status = 0 ] && rm -rf "$work"
exit $status
