#!/bin/bash
# layers.sh SOURCE_DIR: fails when a file includes from a layer above its own.
# app/ on top; integration/ and removal/ below it; registry/ and lang/ below them; support/ last.
cd "$1" || exit 2
bad=0
check() { # check FOLDER FORBIDDEN...
  local folder=$1; shift
  for above in "$@"; do
    if grep -Hn "#include \"$above/" "$folder"/*.h "$folder"/*.cpp 2>/dev/null; then
      bad=1
    fi
  done
}
check integration app
check removal app
check registry app integration removal
check lang app integration removal
check support app integration removal registry lang
[ $bad = 0 ] || echo "an include runs against the layers" >&2
exit $bad
