#!/bin/sh
# Frames per second of every phase of the show with the real clock, at
# 640x480 and 1920x1080 on a virtual display (software rendering, no vertical
# sync there), then the program's own processor time per frame.
#   tests/bench/show_fps.sh [build folder] [bits per pixel]
# (default build/linux, 16). Takes about two minutes: the opening and the
# first slide at each size.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/linux}
bpp=${2:-16}
timer="$build/tests/bench/glimmerz_frame_timer"
cpu="$build/tests/bench/show_cpu_bench"
[ -x "$timer" ] || { echo "build the target glimmerz_frame_timer first" >&2; exit 1; }
work=$(mktemp -d /tmp/glimmerz-bench-XXXXXX)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

measure() {  # width height
  rm -f "$work/display"
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 "$1x$2x24" -noreset -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  mkdir -p "$work/config/glimmerz"
  printf 'Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Vantorel\\Glimmerz]\n"music"=dword:00000000\n"displaywidth"=dword:%08x\n"displayheight"=dword:%08x\n"displaybpp"=dword:%08x\n' \
    "$1" "$2" "$bpp" >"$work/config/glimmerz/settings.reg"
  # The opening and the first slide: every phase once.
  env -u GLIMMERZ_FRAME_MS -u GLIMMERZ_CAPTURE_DIR DISPLAY=":$(cat "$work/display")" XDG_CONFIG_HOME="$work/config" \
    GLIMMERZ_RUN_MS=46400 GLIMMERZ_BENCH_LABEL="== $1x$2, $bpp bits per pixel, real clock" "$timer" /s
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
}

measure 640 480
measure 1920 1080
if [ -x "$cpu" ]; then
  echo "== The program's own work per frame (show and graphics layer over a device that does nothing)"
  "$cpu" --benchmark_min_time=0.3
fi
