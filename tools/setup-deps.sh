#!/bin/sh
# Installs, on Debian 12, whatever the chosen purpose needs and is missing.
#   tools/setup-deps.sh run    build and run the Linux screen saver (headless too)
#   tools/setup-deps.sh test   everything `make test` needs: the builds, Wine, test tools
#   tools/setup-deps.sh package  build all three and make the Debian package
# A missing amd64 package fails the set-up. 32-bit Wine is only ever a bonus:
# machines that cannot start 32-bit programs, or whose i386 archive index is
# broken, go on without it, and its Wine cases say they were skipped. So are the
# Windows Installer tools: without them the Windows builds make the savers and
# say they skipped the .msi packages.
set -e
here=$(dirname "$0")

build_pkgs="cmake make g++ pkg-config libsdl2-dev libgl-dev libgl1-mesa-dri libstb-dev
  libfluidsynth-dev libjack-jackd2-dev libgtk-3-dev libx11-dev fonts-dejavu-core
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools"
# The Windows Installer tools, which the Windows builds can do without.
msi_pkgs="wixl msitools"
headless_pkgs="xvfb xauth x11-utils xdotool imagemagick mesa-utils"
# CPack's Debian packages: dpkg-shlibdeps finds the dependencies, file the programs.
package_pkgs="dpkg-dev file imagemagick"
# The web build and its tests: emscripten, node's npm for the page's
# synthesiser, Chromium to run the page.
web_pkgs="emscripten"
web_test_pkgs="chromium python3-websocket"
test_pkgs="libgtest-dev libbenchmark-dev clang libclang-rt-dev python3 python3-pil xprintidle xscreensaver
  xscreensaver-data wine wine64 lintian"

case "${1:-run}" in
  run) wanted="$build_pkgs $headless_pkgs" ;;
  test) wanted="$build_pkgs $headless_pkgs $package_pkgs $test_pkgs $web_pkgs $web_test_pkgs" ;;
  package) wanted="$build_pkgs $package_pkgs" ;;
  *) echo "usage: $0 run|test|package" >&2; exit 2 ;;
esac

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=""
for p in $wanted; do
  installed "$p" || missing="$missing $p"
done
missing_optional=""
for p in $msi_pkgs; do
  installed "$p" || missing_optional="$missing_optional $p"
done
want_wine32=""
if [ "$1" = test ] && ! installed wine32:i386 && "$here/runs-32-bit-programs.sh"; then
  want_wine32=yes
fi
# npm comes with Debian's nodejs unless node came from elsewhere with its own.
if [ "$1" = test ] && ! command -v npm >/dev/null; then
  missing="$missing nodejs npm"
fi
install_page_packages() {
  # The page's synthesiser, at the versions the lockfile names.
  if [ "$1" = test ] && [ ! -d "$here/../port/web/node_modules/js-synthesizer" ]; then
    (cd "$here/../port/web" && npm ci --no-audit --no-fund)
  fi
}
if [ -z "$missing" ] && [ -z "$missing_optional" ] && [ -z "$want_wine32" ]; then
  install_page_packages "$1"
  exit 0
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
if [ -n "$want_wine32" ]; then
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
fi

# An index caught mid-sync fails the update; the lists that did arrive are kept,
# and the amd64 packages install from them.
tries=0
until $sudo apt-get update -q; do
  tries=$((tries + 1))
  if [ $tries -ge 3 ]; then
    echo "apt-get update failed $tries times; going on with the package lists at hand"
    break
  fi
  sleep 5
done

export DEBIAN_FRONTEND=noninteractive
if [ -n "$missing" ]; then
  echo "Installing:$missing"
  $sudo apt-get install -y -q $missing
fi
if [ -n "$missing_optional" ]; then
  $sudo apt-get install -y -q $missing_optional ||
    echo "Could not install$missing_optional: the Windows builds will skip their .msi packages"
fi
if [ -n "$want_wine32" ]; then
  $sudo apt-get install -y -q wine32:i386 >/dev/null 2>&1 ||
    echo "No 32-bit Wine here: wine32:i386 did not install, so the 32-bit Wine cases will be skipped"
fi
install_page_packages "$1"
exit 0
