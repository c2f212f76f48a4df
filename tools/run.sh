#!/bin/sh
# Starts the screen saver on this display, or, where there is none, shows it
# running headless under Xvfb and says where to look.
set -e
program=${1:-build/linux/glimmerz}

if [ -n "$DISPLAY" ] && xdpyinfo >/dev/null 2>&1 || [ -n "$WAYLAND_DISPLAY" ]; then
  exec "$program" /s
fi

demo="$(dirname "$0")/demo/headless-demo.sh"
if [ -x "$demo" ]; then
  exec "$demo" "$program"
fi

echo "No display here: running Glimmerz under Xvfb for 5 seconds instead."
GLIMMERZ_RUN_MS=5000 xvfb-run -a -s "-screen 0 1024x768x24" "$program" /s
echo "Glimmerz ran headless and closed as if a key had been pressed (exit code $?)."
