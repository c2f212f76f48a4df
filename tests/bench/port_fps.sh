#!/bin/sh
# Frames per second of the port's DirectDraw and Direct3D with Mesa's software
# rasteriser on a virtual display of the mode's size (no vertical sync there):
# a frame of a textured backdrop and 250 blended glyph quads, at 640x480 and
# 1920x1080, 16 and 32 bits per pixel.
#   tests/bench/port_fps.sh [build folder] [seconds per measurement]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/linux}
seconds=${2:-5}
bench="$build/tests/bench/port_frame_bench"
[ -x "$bench" ] || { echo "build the target port_frame_bench first" >&2; exit 1; }
work=$(mktemp -d /tmp/glimmerz-portbench-XXXXXX)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

measure() {  # width height bpp
  rm -f "$work/display"
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 "$1x$2x24" -noreset -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  DISPLAY=":$(cat "$work/display")" LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy \
    "$bench" "$1" "$2" "$3" "$seconds" "$xvfb_pid"
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
}

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) processors"
for bpp in 16 32; do
  measure 640 480 $bpp
  measure 1920 1080 $bpp
done
