#!/bin/sh
# The options dialog as a person uses it, on a virtual X display: Escape leaves
# the settings as they were; the music mnemonic, a new display mode picked with
# the keyboard and Enter store the choices, and the saver then runs in that mode.
set -u
program=$1
screens="-screen 0 1024x768x24 -screen 1 800x600x24"
. "$(dirname "$0")/virtual_display.sh"

# Starts the dialog and waits until it is on screen, with the pointer over it
# and the keyboard on it.
open_dialog() {
  "$program" "$@" >"$work/out.log" 2>&1 &
  running=$!
  window=""
  for _ in $(seq 1200); do
    window=$(xdotool search --onlyvisible --name '^Options for Glimmerz$' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    kill -0 "$running" 2>/dev/null || { wait "$running"; fail "$* ended with $? before its dialog showed: $(cat "$work/out.log")"; }
    sleep 0.05
  done
  [ -n "$window" ] || fail "no dialog named Options for Glimmerz appeared for $*"
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + 4))
  # A full-screen saver that has come and gone can leave the server's input focus
  # on nothing, and then no key would reach the dialog.
  xdotool windowfocus "$window"
}

# Waits for the dialog's process to end by itself; fails unless it exits 0.
dialog_ends() {
  program_ends 100 "the dialog is still open after $1" " after $1"
  [ -s "$work/out.log" ] && fail "the dialog printed: $(cat "$work/out.log")"
}

has() { grep -qF "$1" "$settings" || fail "settings lack $1 after $2"; }

# Without a display there is no dialog: exit code 0, nothing printed or stored.
out=$(env -u DISPLAY "$program" /c 2>&1) || fail "exit code $? without a display"
[ -z "$out" ] && [ ! -e "$settings" ] || fail "without a display: '$out', $(ls "$XDG_CONFIG_HOME" 2>&1)"

# Opening stores the defaults of what the dialog shows, even when cancelled.
open_dialog
xdotool key Escape
dialog_ends "Escape"
for line in '"music"=dword:00000001' '"UseNULLddguid"=dword:00000001' '"displaybpp"=dword:00000010'; do
  has "$line" "the first opening"
done
cp "$settings" "$work/before.reg"

# Changes followed by Escape are forgotten (the owner given is no window at all).
open_dialog /c 12345
xdotool key alt+p alt+m Down Down Escape
dialog_ends "changes and Escape"
cmp -s "$settings" "$work/before.reg" || fail "Escape changed the settings: $(diff "$work/before.reg" "$settings")"

# Music off by its mnemonic, four steps down the mode list (640x480 at 16 and 32
# bits, 720x480 at 16 and 32 bits, then 800x600 at 16 bits), Enter for OK.
open_dialog
xdotool key alt+p alt+m Down Down Down Down Return
dialog_ends "Enter"
has '"music"=dword:00000000' "Enter"
has '"displaywidth"=dword:00000320' "Enter"
has '"displayheight"=dword:00000258' "Enter"

# The saver reads the new mode: its frames are 800x600.
mkdir "$work/frames"
GLIMMERZ_FRAME_MS=20 GLIMMERZ_RUN_MS=200 GLIMMERZ_CAPTURE_DIR="$work/frames" GLIMMERZ_CAPTURE_AT=100 \
  timeout 60 "$program" /s >"$work/saver.log" 2>&1 || fail "the saver failed: $(cat "$work/saver.log")"
size=$(identify -format '%wx%h' "$work/frames/100.png" 2>/dev/null)
[ "$size" = "800x600" ] || fail "the saver drew at ${size:-no size}, not 800x600"

# The second monitor's board is stored by its GUID, and found again by it.
open_dialog
xdotool key alt+v Down Return
dialog_ends "choosing the second board"
has '"UseNULLddguid"=dword:00000000' "choosing the second board"
guid=$(grep '^"ddguid"=hex:' "$settings") || fail "no ddguid stored for the second board"
open_dialog
xdotool key Return
dialog_ends "Enter on the stored board"
has '"UseNULLddguid"=dword:00000000' "Enter on the stored board"
has "$guid" "Enter on the stored board"
GLIMMERZ_FRAME_MS=20 GLIMMERZ_RUN_MS=200 timeout 60 "$program" /s >"$work/saver.log" 2>&1 ||
  fail "the saver failed on the second board: $(cat "$work/saver.log")"

echo "dialog end to end: ok"
