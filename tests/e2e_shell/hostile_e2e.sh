#!/bin/sh
# The real program where the world is unkind: started from a folder that has been
# removed, or whose path is longer than 260 characters, and with a settings folder
# that cannot be made, the show still starts (a frame is captured); with no
# display, or one whose server is gone, the saver ends at once with exit code 0
# and prints nothing.
set -u
program=$1
work=$(mktemp -d /tmp/glimmerz-hostile-XXXXXX)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  cd /
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
unset GLIMMERZ_CAPTURE_DIR GLIMMERZ_CAPTURE_AT WAYLAND_DISPLAY SDL_VIDEODRIVER
export XDG_CONFIG_HOME="$work/config"

# No display at all, and a display whose server does not answer.
for display in "" ":65533"; do
  if [ -z "$display" ]; then
    env -u DISPLAY timeout 60 "$program" /s >"$work/out.log" 2>&1
  else
    DISPLAY="$display" timeout 60 "$program" /s >"$work/out.log" 2>&1
  fi
  status=$?
  [ "$status" -eq 0 ] || fail "display '$display': exit code $status"
  [ -s "$work/out.log" ] && fail "display '$display': printed $(head -c 200 "$work/out.log")"
done

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 800x600x24 -noreset -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"

# Runs the saver on the virtual clock for a short show from the current folder;
# it must have presented a frame.
show_runs() {
  rm -rf "$work/frames"
  GLIMMERZ_FRAME_MS=20 GLIMMERZ_RUN_MS=200 GLIMMERZ_CAPTURE_DIR="$work/frames" GLIMMERZ_CAPTURE_AT=0 \
    timeout 60 "$program" /s >"$work/out.log" 2>&1
  status=$?
  [ "$status" -eq 0 ] || fail "$1: exit code $status"
  [ -s "$work/frames/0.png" ] || fail "$1: the show never started"
}

mkdir "$work/gone" && cd "$work/gone" && rmdir "$work/gone"
show_runs "a removed working directory"

deep="$work"
while [ ${#deep} -le 300 ]; do deep="$deep/a-folder-name-of-some-length"; done
mkdir -p "$deep" && cd "$deep"
show_runs "a working directory of ${#deep} characters"
cd "$work"

: >"$work/plain-file"
XDG_CONFIG_HOME="$work/plain-file/config" show_runs "a settings folder under a plain file"
echo "PASS"
