#!/bin/sh
# The program in a real Wayland session: sway headless (it refuses root, so it
# runs as nobody in a private runtime folder), grim for screenshots, wtype for
# keys. usage: wayland_e2e.sh PROGRAM CASE SHOTS, CASE one of
#   saver   /s covers both outputs with the show, stays when one goes; a key ends it with 0
#   window  --window opens a window and a key closes it, sway still running
#   idle    swayidle starts /s; its later timeout still fires during the show
#   dialog  /c shows "Options for Glimmerz"; Escape ends it with 0
set -u
program=$1
case=$2
shots=$3
work=$(mktemp -d /tmp/glimmerz-wayland-XXXXXX)
chmod 755 "$work"
sway_pid=""
cleanup() {
  [ -n "$sway_pid" ] && kill "$sway_pid" 2>/dev/null
  pkill -u 65534 -f "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  echo "--- sway log"; tail -n 20 "$work/sway.log"
  echo "--- program log"; cat "$work/out.log" 2>/dev/null
  exit 1
}
as_nobody() { setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }

cp "$program" "$work/glimmerz"
mkdir -m 700 "$work/run" && mkdir -m 777 "$work/config" "$work/shots"
chown 65534:65534 "$work/run"
printf 'xwayland disable\noutput * bg #204060 solid_color\n' >"$work/sway.conf"
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config" HOME="$work"
export WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 WAYLAND_DISPLAY=wayland-1
unset DISPLAY GLIMMERZ_FRAME_MS GLIMMERZ_RUN_MS GLIMMERZ_CAPTURE_DIR GLIMMERZ_CAPTURE_AT
as_nobody sway -c "$work/sway.conf" >"$work/sway.log" 2>&1 &
sway_pid=$!
for _ in $(seq 100); do [ -S "$work/run/wayland-1" ] && break; sleep 0.05; done
[ -S "$work/run/wayland-1" ] || fail "sway did not start"
export SWAYSOCK=$(ls "$work/run"/sway-ipc.*.sock 2>/dev/null | head -n 1)
as_nobody swaymsg create_output >/dev/null || fail "no second output"

# ends_ok PID: it ends with 0 within 5 s.
ends_ok() {
  for _ in $(seq 50); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && fail "$case: still running 5 s after the key"
  wait "$1" || fail "$case: exit code $?"
}
key() { as_nobody wtype -s 300 -k "$1"; }
shot() { as_nobody grim -o "$1" "$work/shots/$2.png" && cp "$work/shots/$2.png" "$shots/"; }
# The share of a screenshot's pixels that are the show's rather than sway's background.
show_share() { /usr/bin/python3 -c "
from PIL import Image; import sys
im = Image.open(sys.argv[1]).convert('RGB'); px = list(im.getdata())
print(sum(1 for p in px if p != (0x20, 0x40, 0x60)) / len(px))" "$1"; }

# shows_show OUTPUT NAME: within 30 s a screenshot of the output is all the show's.
shows_show() {
  for _ in $(seq 30); do
    shot "$1" "$2" && /usr/bin/python3 -c "import sys; sys.exit(float(sys.argv[1]) < 0.99)" \
      "$(show_share "$work/shots/$2.png")" && return 0
    sleep 1
  done
  return 1
}

mkdir -p "$shots"
case $case in
saver)
  as_nobody "$work/glimmerz" /s >"$work/out.log" 2>&1 &
  running=$!
  for output in HEADLESS-1 HEADLESS-2; do
    shows_show $output "saver-$output" || fail "$output does not show the show"
  done
  # An output that goes leaves the show on the other.
  as_nobody swaymsg output HEADLESS-1 disable >/dev/null
  shows_show HEADLESS-2 saver-one-output || fail "the show went with HEADLESS-1"
  key space
  ends_ok $running
  ;;
window)
  as_nobody "$work/glimmerz" --window >"$work/out.log" 2>&1 &
  running=$!
  shows_show HEADLESS-1 window || fail "--window shows no show"
  key space
  ends_ok $running
  ;;
idle)
  as_nobody swayidle timeout 2 "$work/glimmerz /s" timeout 6 "touch $work/shots/locked" \
    >"$work/idle.log" 2>&1 &
  idle=$!
  # This run's show, not another test's: its command line starts with its own copy.
  for _ in $(seq 100); do pgrep -u 65534 -f "^$work/glimmerz /s" >/dev/null && break; sleep 0.1; done
  show=$(pgrep -u 65534 -f "^$work/glimmerz /s") || fail "swayidle did not start the show"
  shows_show HEADLESS-1 idle || fail "the show started by swayidle is not on the screen"
  for _ in $(seq 150); do [ -e "$work/shots/locked" ] && break; sleep 0.1; done
  [ -e "$work/shots/locked" ] || fail "the later timeout did not fire while the show ran"
  kill -0 "$show" 2>/dev/null || fail "the show ended before the later timeout"
  key space
  for _ in $(seq 50); do kill -0 "$show" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$show" 2>/dev/null && fail "the show is still running 5 s after the key"
  kill $idle
  ;;
dialog)
  as_nobody "$work/glimmerz" /c >"$work/out.log" 2>&1 &
  running=$!
  for _ in $(seq 100); do as_nobody swaymsg -t get_tree | grep -q '"Options for Glimmerz"' && break; sleep 0.1; done
  as_nobody swaymsg -t get_tree | grep -q '"Options for Glimmerz"' || fail "no window titled Options for Glimmerz"
  shot HEADLESS-1 dialog || fail "no screenshot"
  key Escape
  ends_ok $running
  ;;
esac
kill -0 "$sway_pid" 2>/dev/null || fail "sway is gone"
echo "PASS: $case"
