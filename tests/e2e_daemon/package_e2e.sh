#!/bin/sh
# The Debian package: built by CPack from the install rules, its dependencies
# taken from the libraries the program links, and its files where the daemon,
# its settings program and the desktop look for them; lintian finds no error.
set -u
build=$1
work=$(mktemp -d /tmp/glimmerz-package-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/out/glimmerz_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no glimmerz_*.deb made"

depends=$(dpkg-deb -f "$deb" Depends)
for library in libsdl2 libfluidsynth libx11 libc6 libgl1; do
  echo "$depends" | grep -q "$library" || fail "Depends lacks $library: $depends"
done

dpkg -x "$deb" "$work/root"
for file in usr/bin/glimmerz usr/libexec/xscreensaver/glimmerz; do
  [ -x "$work/root/$file" ] || fail "$file missing or not executable"
done
for file in usr/share/xscreensaver/config/glimmerz.xml usr/share/man/man6/glimmerz.6.gz \
  usr/share/doc/glimmerz/copyright usr/share/doc/glimmerz/changelog.gz \
  usr/share/applications/glimmerz-settings.desktop usr/share/icons/hicolor/48x48/apps/glimmerz.png \
  usr/share/glimmerz/Glimmerz.scr usr/share/glimmerz/x64/Glimmerz.scr; do
  [ -s "$work/root/$file" ] || fail "$file missing"
done
xml="$work/root/usr/share/xscreensaver/config/glimmerz.xml"
grep -q '<command arg="--root"/>' "$xml" || fail "description lacks --root"
grep -q 'arg-unset="--no-music"' "$xml" && grep -q 'arg-set="--mode 800x600x32"' "$xml" || fail "description's options"
grep -qx 'Exec=glimmerz /c' "$work/root/usr/share/applications/glimmerz-settings.desktop" || fail "settings entry"
"$work/root/usr/bin/glimmerz" --version | grep -q "^glimmerz [0-9]" || fail "the packaged program gives no version"
lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log"; fail "lintian reports errors"; }
echo PASS
