#!/usr/bin/env bash
# Builds the Debian package and installs it with apt on a clean Debian 12
# made by debootstrap in a scratch folder (a minute or so, most of it
# downloading), then runs the installed hack once, and the installed saver
# in a headless sway session there (as nobody, as sway wants): it must draw
# on the output and end with 0 on SIGTERM. Needs root.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
command -v debootstrap >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap
cmake --preset linux >/dev/null
cmake --build --preset linux -j "$(nproc)" --target quarlo quarlo_manual
(cd build/linux && rm -f quarlo_*.deb && cpack >/dev/null)
root=$(mktemp -d /tmp/quarlo-clean-debian-XXXXXX)
chmod 755 "$root"  # the chroot's / must be open to nobody
trap 'umount "$root/proc" "$root/dev/shm" 2>/dev/null; rm -rf "$root"' EXIT
debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >/dev/null
cp build/linux/quarlo_*.deb "$root/tmp/"
mount -t proc proc "$root/proc"
mkdir -p "$root/dev/shm" && mount -t tmpfs -o mode=1777 shm "$root/dev/shm"  # Wayland buffers
chroot "$root" sh -c 'apt-get update -qq &&
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq /tmp/quarlo_*.deb >/dev/null &&
  test -x /usr/libexec/xscreensaver/quarlo &&
  test -x /usr/libexec/xscreensaver/quarlo-settings &&
  test -f /usr/share/xscreensaver/config/quarlo.xml &&
  test -f /usr/share/man/man6/quarlo.6x.gz &&
  /usr/libexec/xscreensaver/quarlo --help >/dev/null'
chroot "$root" sh -c 'DEBIAN_FRONTEND=noninteractive apt-get install -y -qq sway grim >/dev/null &&
  mkdir -m 700 /tmp/run && chown nobody:nogroup /tmp/run &&
  printf "output HEADLESS-1 mode 640x480\nxwayland disable\n" > /tmp/sway.conf &&
  as_nobody="env XDG_RUNTIME_DIR=/tmp/run WAYLAND_DISPLAY=wayland-1 HOME=/tmp WLR_BACKENDS=headless
    WLR_RENDERER=pixman WLR_HEADLESS_OUTPUTS=1 WLR_LIBINPUT_NO_DEVICES=1
    setpriv --reuid=nobody --regid=nogroup --clear-groups" &&
  { $as_nobody sway -c /tmp/sway.conf >/dev/null 2>&1 & sway=$!; } && sleep 2 &&
  { $as_nobody /usr/libexec/xscreensaver/quarlo -s & saver=$!; } && sleep 2 &&
  $as_nobody grim -t ppm - | tail -c 10000 | tr -d "\000" | grep -q . &&
  kill -TERM $saver && wait $saver; code=$?; kill $sway; exit $code'
echo "the package installs and runs on a clean Debian 12, on X and on Wayland"
