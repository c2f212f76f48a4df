#!/bin/sh
# Installs, on Debian 12, whatever the chosen purpose needs and is missing.
#   tools/setup-deps.sh run    build and run the Linux screen saver (headless too)
#   tools/setup-deps.sh test   everything `make test` needs: both builds, Wine, test tools
set -e

build_pkgs="cmake make g++ pkg-config libsdl2-dev libgl-dev libgl1-mesa-dri libstb-dev
  libfluidsynth-dev libjack-jackd2-dev libgtk-3-dev libx11-dev fonts-dejavu-core g++-mingw-w64-i686 mingw-w64-tools"
headless_pkgs="xvfb xauth x11-utils xdotool imagemagick mesa-utils"
test_pkgs="libgtest-dev libbenchmark-dev clang libclang-rt-14-dev python3 python3-pil xscreensaver xscreensaver-data"
wine_pkgs="wine wine32:i386"

case "${1:-run}" in
  run) wanted="$build_pkgs $headless_pkgs" ;;
  test) wanted="$build_pkgs $headless_pkgs $test_pkgs $wine_pkgs" ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

missing=""
for p in $wanted; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
case "$missing" in
  *:i386*) dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386 ;;
esac
echo "Installing:$missing"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q $missing
