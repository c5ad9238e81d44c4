#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, if any are
# missing. Safe to run again: it does nothing when all are there.
set -eu
packages=(
  cmake ninja-build g++ pkg-config googletest libbenchmark-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 xvfb xdotool x11-utils x11-xserver-utils imagemagick python3
  libx11-dev libgl-dev libglu1-mesa-dev libegl-dev libegl1-mesa-dev libgl1-mesa-dri libpng-dev libjpeg62-turbo-dev libgtk-3-dev
  libpam0g-dev libxkbcommon-dev libpango1.0-dev libcairo2-dev
  xscreensaver xscreensaver-gl-extra dpkg-dev lintian mandoc desktop-file-utils nsis zip
  libwayland-dev wayland-protocols libxrandr-dev sway swayidle grim wtype xwayland weston
  libxkbcommon-dev swaylock
  clang libfuzzer-14-dev libclang-rt-14-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
