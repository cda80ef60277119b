#!/bin/bash
# The machine set-up against stand-in apt-get and dpkg that fail as a half-synced mirror does:
# every update exits 100, and an install refuses unless the security suite is ranked below the
# main suites. Nothing outside a temporary folder is touched.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/prefs"
export QBX_APT_PREFERENCES_DIR=$work/prefs QBX_APT_RETRY_PAUSE=0 QBX_SETUP_APT_ONLY=1
export STUB_LOG=$work/calls STUB_INSTALLED=$work/installed STUB_FAIL_ALWAYS=$work/fail-always \
  STUB_KILL=$work/kill
export PATH=$work/bin:$PATH
pin=$work/prefs/qbx-security-below-main

cat >"$work/bin/dpkg" <<'STUB'
#!/bin/bash
case $1 in
  -s) grep -qx "$2" "$STUB_INSTALLED" 2>/dev/null ;;
  --print-foreign-architectures) echo i386 ;;
  *) echo "dpkg $*" >>"$STUB_LOG" ;;
esac
STUB
cat >"$work/bin/apt-get" <<'STUB'
#!/bin/bash
pin=$QBX_APT_PREFERENCES_DIR/qbx-security-below-main
if [ "$1" = update ]; then
  echo "update" >>"$STUB_LOG"
  echo "E: Failed to fetch .../i386/Packages.xz  File has unexpected size (Mirror sync in progress?)" >&2
  exit 100
fi
shift
while [ "${1#-}" != "$1" ]; do shift; done
if [ -f "$pin" ] && grep -qx 'Pin: release l=Debian-Security' "$pin" &&
   grep -qx 'Pin-Priority: 100' "$pin" && [ ! -e "$STUB_FAIL_ALWAYS" ]; then
  echo "install pinned $*" >>"$STUB_LOG"
  [ -e "$STUB_KILL" ] && kill -TERM $PPID
  printf '%s\n' "$@" >>"$STUB_INSTALLED"
  exit 0
fi
echo "install refused $*" >>"$STUB_LOG"
echo "E: Unable to correct problems, you have held broken packages." >&2
exit 100
STUB
chmod +x "$work/bin/"*

failures=0
check() {  # check DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
run_setup() { bash "$root/scripts/setup-machine.sh" >"$work/out" 2>&1; }

# A fresh machine behind a half-synced mirror: set up all the same.
: >"$STUB_LOG"
run_setup; status=$?
check "ends with status 0" [ $status = 0 ]
check "the update tried twice, then the lists there are used" [ "$(grep -c '^update$' "$STUB_LOG")" = 2 ]
check "says so in one line" [ "$(grep -c 'going on with the package lists' "$work/out")" = 1 ]
check "the plain install refused first" grep -q '^install refused .*wine32' "$STUB_LOG"
check "the Wine packages first, with the pin" \
  [ "$(grep '^install pinned' "$STUB_LOG" | head -1)" = "install pinned wine wine32 wine64" ]
check "then the rest, with the pin" grep -q '^install pinned g++-mingw-w64-i686-posix .*clang' "$STUB_LOG"
check "says it retried in one line" [ "$(grep -c 'retrying once' "$work/out")" = 1 ]
check "the pin is gone afterwards" [ ! -e "$pin" ]

# Everything installed: no apt command at all; a pin left by a killed run is removed.
: >"$STUB_LOG"
echo stale >"$pin"
run_setup; status=$?
check "installed machine: status 0" [ $status = 0 ]
check "installed machine: no apt command" [ ! -s "$STUB_LOG" ]
check "installed machine: the stale pin removed" [ ! -e "$pin" ]

# A retry that fails too: apt's error, advice, a non-zero status, and no pin left behind.
: >"$STUB_LOG"; : >"$STUB_INSTALLED"; touch "$STUB_FAIL_ALWAYS"
run_setup; status=$?
check "failed retry: non-zero status" [ $status != 0 ]
check "failed retry: apt's error shown" grep -q 'held broken packages' "$work/out"
check "failed retry: what to do" grep -q "run 'apt-get update' and this script again later" "$work/out"
check "failed retry: the pin is gone" [ ! -e "$pin" ]

# Interrupted during the retry: the pin goes with the script.
: >"$STUB_LOG"; : >"$STUB_INSTALLED"; rm -f "$STUB_FAIL_ALWAYS"; touch "$STUB_KILL"
run_setup; status=$?
check "interrupted: the retry had begun" grep -q '^install pinned' "$STUB_LOG"
check "interrupted: non-zero status" [ $status != 0 ]
check "interrupted: the pin is gone" [ ! -e "$pin" ]

if [ $failures != 0 ]; then cat "$work/out"; fi
[ $failures = 0 ]
