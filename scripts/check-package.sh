#!/usr/bin/env bash
# Builds the Debian package and installs it with apt on a clean Debian 12
# made by debootstrap in a scratch folder (a minute or so, most of it
# downloading), then runs the installed hack once. Needs root.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
command -v debootstrap >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target quarlo quarlo_manual
(cd build/linux && rm -f quarlo_*.deb && cpack >/dev/null)
root=$(mktemp -d /tmp/quarlo-clean-debian-XXXXXX)
trap 'umount "$root/proc" 2>/dev/null; rm -rf "$root"' EXIT
debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >/dev/null
cp build/linux/quarlo_*.deb "$root/tmp/"
mount -t proc proc "$root/proc"
chroot "$root" sh -c 'apt-get update -qq &&
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq /tmp/quarlo_*.deb >/dev/null &&
  test -x /usr/libexec/xscreensaver/quarlo &&
  test -x /usr/libexec/xscreensaver/quarlo-settings &&
  test -f /usr/share/xscreensaver/config/quarlo.xml &&
  test -f /usr/share/man/man6/quarlo.6.gz &&
  /usr/libexec/xscreensaver/quarlo --help >/dev/null'
echo "the package installs and runs on a clean Debian 12"
