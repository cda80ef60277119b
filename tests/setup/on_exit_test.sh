#!/bin/bash
# Clean-ups registered by the scripts: the X server that xvfb.sh starts is stopped when a script
# that registers a clean-up of its own after it exits, however it exits. Stand-ins for Xvfb and
# xdpyinfo; nothing outside a temporary folder is touched.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin"
printf '#!/bin/bash\necho $$ > "%s/xvfb.pid"\nexec sleep 300\n' "$work" > "$work/bin/Xvfb"
printf '#!/bin/bash\n[ -f "%s/xvfb.pid" ]\n' "$work" > "$work/bin/xdpyinfo"
chmod +x "$work/bin/Xvfb" "$work/bin/xdpyinfo"
failures=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi; }

# As demo.sh does: the X server first, then a clean-up of its own; the script then fails.
cat > "$work/script.sh" <<SCRIPT
set -e
. "$root/scripts/xvfb.sh"
. "$root/scripts/on-exit.sh" # sourced twice: the registered clean-ups stay
on_exit 'echo own >> "$work/log"'
on_exit 'echo last >> "$work/log"'
false
SCRIPT
(unset DISPLAY; PATH="$work/bin:$PATH" bash "$work/script.sh")
status=$?
check "the script's own failure is its exit status" '[ $status -ne 0 ]'
check "its own clean-ups ran, last registered first" '[ "$(cat "$work/log" 2>/dev/null | tr "\n" " ")" = "last own " ]'
pid=$(cat "$work/xvfb.pid" 2>/dev/null)
check "the X server was started" '[ -n "$pid" ]'
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
check "the X server was stopped" '! kill -0 "$pid" 2>/dev/null'
kill "$pid" 2>/dev/null
[ $failures -eq 0 ] && echo "on_exit: all passed"
exit $failures
