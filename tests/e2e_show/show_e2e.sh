#!/bin/sh
# The whole show on a virtual display with the virtual clock: one captured
# frame in every phase must look like that phase, and a second run must give
# the same bytes.
set -u
program=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/glimmerz-show-e2e-XXXXXX)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 640x480x24 -noreset -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$work/display")"

shots=$(python3 -c "
import sys; sys.path.insert(0, '$here')
from check_frames import SHOTS
print(','.join(str(s[0]) for s in SHOTS))")
last=${shots##*,}

run() {
  mkdir -p "$work/$1/config/glimmerz" "$work/$1/frames"
  # Music off: the pictures are under test, and the synthesiser would only
  # compete for the processor.
  printf 'Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Vantorel\\Glimmerz]\n"music"=dword:00000000\n' \
    >"$work/$1/config/glimmerz/settings.reg"
  XDG_CONFIG_HOME="$work/$1/config" GLIMMERZ_FRAME_MS=25 GLIMMERZ_RUN_MS=$((last + 500)) \
    GLIMMERZ_CAPTURE_DIR="$work/$1/frames" GLIMMERZ_CAPTURE_AT="$shots" \
    timeout 300 "$program" /s >"$work/$1/out.log" 2>&1
  status=$?
  [ "$status" -eq 0 ] || { cat "$work/$1/out.log"; fail "run $1 ended with status $status"; }
  for t in $(echo "$shots" | tr , ' '); do
    [ -s "$work/$1/frames/$t.png" ] || fail "run $1 captured no frame at $t ms"
  done
}

run first
python3 "$here/check_frames.py" "$work/first/frames" || fail "captured frames do not show their phases"
run second
for t in $(echo "$shots" | tr , ' '); do
  cmp -s "$work/first/frames/$t.png" "$work/second/frames/$t.png" || fail "the frame at $t ms differs between two runs"
done
echo "PASS"
