# Sourced: starts a private X server for the dialogs unless DISPLAY already works, and stops it
# when the script exits.
. "$(dirname "${BASH_SOURCE[0]}")/on-exit.sh"
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  for n in $(seq 77 99); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    QBX_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    on_exit 'kill $QBX_XVFB_PID 2>/dev/null'
    break
  done
fi
