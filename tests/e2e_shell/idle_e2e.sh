#!/bin/sh
# A screen saver lets the screen sleep: while the show runs untouched, the X
# server's idle time (what power saving and idle lockers go by) keeps growing.
# The windowing library's default would reset it every 30 s.
# usage: idle_e2e.sh PROGRAM MODE...
set -u
program=$1
shift
screens="-screen 0 640x480x24"
. "$(dirname "$0")/virtual_display.sh"

"$program" "$@" >"$work/out.log" 2>&1 &
running=$!
sleep 42
kill -0 "$running" 2>/dev/null || fail "the show ended by itself: $(cat "$work/out.log")"
idle=$(xprintidle) || fail "the server's idle time cannot be read"
[ "$idle" -ge 40000 ] || fail "the server's idle time is $idle ms after 42 s of the show"
echo "PASS: idle for $idle ms"
