#!/bin/bash
# The layers check on made-up trees: it passes a tree whose includes run downward only and fails
# one with an include from a layer above, or from the runtime into the program.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
tree() { # tree NAME FILE:INCLUDE...
  local dir=$work/$1; shift
  mkdir -p "$dir"/{app,integration,removal,registry,lang,support,runtime}
  for entry in "$@"; do printf '#include "%s"\n' "${entry#*:}" > "$dir/${entry%%:*}"; done
  echo "$dir"
}
expect() { # expect STATUS NAME DIR
  bash "$root/tests/layers.sh" "$3" >/dev/null 2>&1
  local got=$?
  if [ $got -eq "$1" ]; then echo "ok: $2"; else echo "FAILED: $2 (status $got)"; failures=$((failures + 1)); fi
}
expect 0 "includes that run downward" "$(tree down app/a.cpp:removal/r.h removal/r.cpp:registry/g.h lang/l.h:support/s.h)"
expect 1 "support including lang" "$(tree up support/s.cpp:lang/l.h)"
expect 1 "the runtime including the program" "$(tree runtime runtime/start_up.cpp:app/entry.h)"
expect 1 "the runtime including support" "$(tree runtime2 runtime/memory.cpp:support/memory_error.h)"
[ $failures -eq 0 ] && echo "layers: all passed"
exit $failures
