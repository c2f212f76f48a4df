# Sourced by the end-to-end scripts, with Xvfb's screen options in $screens: a
# private folder, settings and virtual X display, all gone when the script ends
# together with the program it left in $running.
work=$(mktemp -d /tmp/glimmerz-e2e-XXXXXX)
xvfb_pid=""
running=""
cleanup() {
  [ -n "$running" ] && kill "$running" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

exec 3>"$work/display"
# Without -noreset the server resets when its last client leaves, and a program
# started a moment later is cut off during the reset.
Xvfb -displayfd 3 $screens -noreset -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
export XDG_CONFIG_HOME="$work/config"
settings="$XDG_CONFIG_HOME/glimmerz/settings.reg"
unset GLIMMERZ_FRAME_MS GLIMMERZ_RUN_MS GLIMMERZ_CAPTURE_DIR GLIMMERZ_CAPTURE_AT

# program_ends STEPS STILL AFTER: waits up to STEPS times 50 ms for the program
# in $running to end by itself; fails with STILL if it has not, or with its exit
# code (and AFTER) unless that is 0.
program_ends() {
  for _ in $(seq "$1"); do
    kill -0 "$running" 2>/dev/null || break
    sleep 0.05
  done
  kill -0 "$running" 2>/dev/null && fail "$2"
  wait "$running"
  status=$?
  running=""
  [ "$status" -eq 0 ] || fail "exit code $status$3"
}
