#!/bin/sh
# The real program on a real (virtual) X display: the saver covers the screen,
# shrugs off a mouse nudge in its first second, leaves with exit code 0 on a key,
# and leaves its display settings behind.
set -u
program=$1
screens="-screen 0 1024x768x24"
. "$(dirname "$0")/virtual_display.sh"

"$program" /s >"$work/out.log" 2>&1 &
running=$!

window=""
for _ in $(seq 100); do
  window=$(xdotool search --name '^Glimmerz$' 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.05
done
[ -n "$window" ] || fail "no window named Glimmerz appeared"

# A nudge of the mouse in the first second is ignored.
xdotool mousemove 100 100 mousemove 140 160
sleep 0.4
kill -0 "$running" 2>/dev/null || fail "a mouse nudge in the first second ended the show"

geometry=$(xdotool getwindowgeometry "$window")
echo "$geometry" | grep -q "Position: 0,0" || fail "window not at the screen's corner: $geometry"
echo "$geometry" | grep -q "Geometry: 1024x768" || fail "window does not cover the screen: $geometry"

xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key --clearmodifiers space
program_ends 20 "still running a second after a key press" ""

for line in '"displaywidth"=dword:00000280' '"displayheight"=dword:000001e0' '"displaybpp"=dword:00000010'; do
  grep -qF "$line" "$settings" || fail "settings file lacks $line"
done
echo "PASS"
