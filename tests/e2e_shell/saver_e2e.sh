#!/bin/sh
# The real program on a real (virtual) X display: the saver covers the screen,
# shrugs off a mouse nudge in its first second, leaves with exit code 0 on a key,
# and leaves its display settings behind.
set -u
program=$1
work=$(mktemp -d /tmp/glimmerz-e2e-XXXXXX)
xvfb_pid=""
saver_pid=""
cleanup() {
  [ -n "$saver_pid" ] && kill "$saver_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
export XDG_CONFIG_HOME="$work/config"
unset GLIMMERZ_FRAME_MS GLIMMERZ_RUN_MS GLIMMERZ_CAPTURE_DIR

"$program" /s >"$work/out.log" 2>&1 &
saver_pid=$!

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
kill -0 "$saver_pid" 2>/dev/null || fail "a mouse nudge in the first second ended the show"

geometry=$(xdotool getwindowgeometry "$window")
echo "$geometry" | grep -q "Position: 0,0" || fail "window not at the screen's corner: $geometry"
echo "$geometry" | grep -q "Geometry: 1024x768" || fail "window does not cover the screen: $geometry"

xdotool windowfocus --sync "$window" 2>/dev/null
xdotool key --clearmodifiers space
for _ in $(seq 20); do
  kill -0 "$saver_pid" 2>/dev/null || break
  sleep 0.05
done
kill -0 "$saver_pid" 2>/dev/null && fail "still running a second after a key press"
wait "$saver_pid"
status=$?
saver_pid=""
[ "$status" -eq 0 ] || fail "exit code $status"

settings="$XDG_CONFIG_HOME/glimmerz/settings.reg"
for line in '"displaywidth"=dword:00000280' '"displayheight"=dword:000001e0' '"displaybpp"=dword:00000010'; do
  grep -qF "$line" "$settings" || fail "settings file lacks $line"
done
echo "PASS"
