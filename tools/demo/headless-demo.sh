#!/bin/sh
# Plays the first 70 seconds of the show on a virtual display with the virtual
# clock, captures a frame of every phase, and lays them out on one labelled
# contact sheet.
#   tools/demo/headless-demo.sh [program] [output folder]
# Needs Xvfb and ImageMagick (tools/setup-deps.sh run).
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
program=${1:-$root/build/linux/glimmerz}
out=${2:-$root/build/demo}
frame_ms=25

[ -x "$program" ] || { echo "no program at $program: build it first (make linux)" >&2; exit 1; }
mkdir -p "$out/frames"
out=$(cd "$out" && pwd)
work=$(mktemp -d /tmp/glimmerz-demo-XXXXXX)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Clock reading in ms | label. Each reading lies well inside its phase.
shots="800|SignFade: the warning sign fades in
3000|SignFade: the sign at full light
10500|BulbTitle: the bulb pulses before the rock
18600|BulbZoom: bulb and label fly at the camera
20500|HeadlineFlyIn: letters fly in with echoes
23000|HeadlineJolt: words jolt over black
26500|HeadlineJolt: red pulse and glow train
29000|HeadlineFlyOut: letters fly past, bulb comes
34000|BulletTyping: bullets type in over rock
41500|BulletHold: the finished page
45000|BulletSpin: letters tumble, bulb comes
47500|HeadlineFlyIn: the second slide begins"
times=$(echo "$shots" | cut -d'|' -f1 | paste -sd, -)

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }

# Default settings, music off: only the pictures are wanted here.
mkdir -p "$work/config/glimmerz"
printf 'Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Vantorel\\Glimmerz]\n"music"=dword:00000000\n' \
  >"$work/config/glimmerz/settings.reg"
rm -f "$out"/frames/*.png
echo "Rendering the first 70 s of the show headless at $frame_ms ms a frame..."
DISPLAY=":$(cat "$work/display")" XDG_CONFIG_HOME="$work/config" GLIMMERZ_FRAME_MS=$frame_ms \
  GLIMMERZ_RUN_MS=70000 GLIMMERZ_CAPTURE_DIR="$out/frames" GLIMMERZ_CAPTURE_AT="$times" \
  "$program" /s >"$work/run.log" 2>&1 || { cat "$work/run.log" >&2; echo "the show failed" >&2; exit 1; }

set --
while IFS='|' read -r t label; do
  [ -s "$out/frames/$t.png" ] || { echo "no frame captured at $t ms" >&2; exit 1; }
  secs=$(printf '%d.%d s' $((t / 1000)) $((t % 1000 / 100)))
  set -- "$@" -label "$secs  $label" "$out/frames/$t.png"
done <<EOF_SHOTS
$shots
EOF_SHOTS
montage -font DejaVu-Sans -pointsize 13 -fill '#e0e0e0' -background '#181818' \
  -title "Glimmerz: a frame of every phase, first 70 s (virtual clock, $frame_ms ms a frame)" \
  "$@" -tile 4x3 -geometry 320x240+8+8 "$out/contact-sheet.png"
echo "Contact sheet: $out/contact-sheet.png"
echo "Full-size frames: $out/frames/"
