#!/bin/bash
# Installs what building and testing need on a Debian 12 machine, idempotently (clang with its
# libFuzzer and sanitizer runtimes for the native build among it), and makes
# 32-bit programs runnable: where the kernel cannot run 32-bit code itself, Wine's 32-bit
# side runs under qemu-user (version 10 from bookworm-backports; 7.2 takes a minute a process).
# QBX_SETUP_APT_ONLY=1 leaves out the root check, the locales and the 32-bit check, so that a
# test can run the package steps against stand-in apt commands.
set -e
[ "${QBX_SETUP_APT_ONLY:-}" = 1 ] || [ "$(id -u)" = 0 ] ||
  { echo "run as root (apt-get and binfmt_misc need it)" >&2; exit 1; }
. "$(dirname "$0")/apt-tolerant.sh"

need=""
for p in g++-mingw-w64-i686-posix mingw-w64-i686-dev wine wine32 wine64 xvfb xauth x11-utils xdotool \
         imagemagick fonts-wqy-microhei locales liblnk-utils fp-utils-3.2.2 cmake make python3 \
         googletest clang libclang-rt-14-dev; do
  dpkg -s "$p" >/dev/null 2>&1 || need="$need $p"
done
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need="$need wine32"
fi
if [ -n "$need" ]; then
  apt_update
  apt_install $need
fi
[ "${QBX_SETUP_APT_ONLY:-}" = 1 ] && exit 0

for l in "zh_CN.UTF-8 UTF-8" "en_US.UTF-8 UTF-8"; do
  grep -qx "$l" /etc/locale.gen 2>/dev/null || { echo "$l" >> /etc/locale.gen; regen=1; }
done
if [ -n "${regen:-}" ] || ! locale -a 2>/dev/null | grep -qi 'zh_CN.utf8'; then
  locale-gen >/dev/null
fi

# Can this kernel run a 32-bit ELF program?
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  if ! dpkg -s qemu-user-static 2>/dev/null | grep -q '^Version: 1:1[0-9]'; then
    src=/etc/apt/sources.list.d/qbx-backports.sources
    if [ ! -f "$src" ] && ! grep -rqs bookworm-backports /etc/apt/sources.list /etc/apt/sources.list.d/; then
      printf 'Types: deb\nURIs: http://deb.debian.org/debian\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' > "$src"
    fi
    apt_update
    apt_install -t bookworm-backports qemu-user-static
  fi
  [ -e /proc/sys/fs/binfmt_misc/register ] || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  # Register (again) so the kernel holds the current qemu binary open.
  [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && echo -1 > /proc/sys/fs/binfmt_misc/qemu-i386
  echo ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' \
    > /proc/sys/fs/binfmt_misc/register
  /usr/lib/wine/wine --version >/dev/null || { echo "32-bit programs still cannot run" >&2; exit 1; }
fi
