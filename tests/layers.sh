#!/bin/bash
# layers.sh SOURCE_DIR: fails when a file includes from a layer above its own.
# app/ on top; removal/ below it, then integration/ (removal gives back what setup wrote
# through setup's routines; setup never calls removal); registry/ and lang/ below them;
# support/, then runtime/ (the program's own start-up and C library functions, which include
# nothing of it).
cd "$1" || exit 2
bad=0
check() { # check FOLDER FORBIDDEN...
  local folder=$1; shift
  for above in "$@"; do
    # One search over the folder: with a file list, a pattern that matches no file made grep
    # report an error, and the includes it had found went unreported.
    if grep -rn --include='*.h' --include='*.cpp' "#include \"$above/" "$folder"; then
      bad=1
    fi
  done
}
check integration app removal
check removal app
check registry app integration removal
check lang app integration removal
check support app integration removal registry lang
check runtime app integration removal registry lang support res
[ $bad = 0 ] || echo "an include runs against the layers" >&2
exit $bad
