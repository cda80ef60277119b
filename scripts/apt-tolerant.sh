# Sourced by setup-machine.sh. A fresh machine can meet a half-synced mirror: one index of the
# wrong size makes `apt-get update` fail for hours, and amd64 libraries taken from the security
# suite whose i386 twins are in no index apt can read make every Multi-Arch install refuse.
# Both are survivable: go on with the lists there are, and retry an install once with the
# security suite ranked below the main suites, so that apt picks twins it can see.
QBX_APT_PREFERENCES_DIR=${QBX_APT_PREFERENCES_DIR:-/etc/apt/preferences.d}
QBX_APT_RETRY_PAUSE=${QBX_APT_RETRY_PAUSE:-30}
qbx_pin=$QBX_APT_PREFERENCES_DIR/qbx-security-below-main

# A pin left by a run that was killed would rank the security suite low for good.
rm -f "$qbx_pin"

apt_update() {
  apt-get update -qq && return 0
  sleep "$QBX_APT_RETRY_PAUSE"
  apt-get update -qq && return 0
  echo "setup: apt-get update reported errors twice; going on with the package lists there are" >&2
}

# apt_get_install [-t SUITE] PACKAGE...: apt's output goes to the file $qbx_apt_log.
apt_get_install() {
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" \
    >>"$qbx_apt_log" 2>&1
}

# apt_install [-t SUITE] PACKAGE...
apt_install() {
  local suite=() wine=() rest=() p status=0
  if [ "$1" = -t ]; then suite=(-t "$2"); shift 2; fi
  qbx_apt_log=$(mktemp)
  if apt_get_install "${suite[@]}" "$@"; then rm -f "$qbx_apt_log"; return 0; fi

  echo "setup: installing failed; retrying once with the security suite ranked below the main suites" >&2
  for p; do
    case $p in wine|wine32|wine64) wine+=("$p") ;; *) rest+=("$p") ;; esac
  done
  trap 'rm -f "$qbx_pin"' EXIT
  trap 'rm -f "$qbx_pin"; exit 130' INT TERM HUP
  printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100\n' >"$qbx_pin"
  : >"$qbx_apt_log"
  if [ ${#wine[@]} -gt 0 ]; then apt_get_install "${suite[@]}" "${wine[@]}" || status=$?; fi
  if [ $status = 0 ] && [ ${#rest[@]} -gt 0 ]; then apt_get_install "${suite[@]}" "${rest[@]}" || status=$?; fi
  rm -f "$qbx_pin"
  trap - EXIT INT TERM HUP
  if [ $status = 0 ]; then rm -f "$qbx_apt_log"; return 0; fi

  echo "setup: installing failed again; apt said:" >&2
  grep -E '^(E|W):' "$qbx_apt_log" >&2 || tail -n 20 "$qbx_apt_log" >&2
  rm -f "$qbx_apt_log"
  echo "setup: the package mirror may still be syncing: run 'apt-get update' and this script again later, or install by hand: $*" >&2
  return "$status"
}
