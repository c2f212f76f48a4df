#!/bin/sh
# The installed hack under the real XScreenSaver daemon on a virtual display:
# the daemon starts it when the screen blanks and the show is on the screen; on
# cycling it ends by the daemon's SIGTERM; on unblanking it has exited within
# 2 s, no copy is left, and the daemon's log reports no crash. The daemon launches no hacks for root, so it runs as nobody
# with a private home on a display open to everyone. The programs: line's music and mode hold over the stored ones,
# which no run changes; without them the same hack plays the tune at the stored 640x480.
set -u
cmake=$1
build=$2
shot_out=$3
work=$(mktemp -d /tmp/glimmerz-daemon-XXXXXX)
chmod 755 "$work"
xvfb_pid=""
daemon_pid=""
as_nobody() { setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }
cleanup() {
  [ -n "$daemon_pid" ] && kill "$daemon_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  echo "--- daemon log"; cat "$work/daemon.log"
  exit 1
}
now_ms() { date +%s%3N; }
# A hack that has exited may wait a while as a zombie for whoever reaps orphans.
hack_pids() { ps -u 65534 -o pid=,stat=,comm= | awk '$3 == "glimmerz" && $2 !~ /^Z/ { print $1 }'; }

DESTDIR="$work/root" "$cmake" --install "$build" --prefix /usr >"$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }
hack="$work/root/usr/libexec/xscreensaver/glimmerz"
[ -x "$hack" ] || fail "no hack installed at $hack"

exec 3>"$work/display"
Xvfb -ac -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$work/display")"

home="$work/home"
mkdir -m 777 "$home"
mkdir -m 700 "$work/run"
chown 65534:65534 "$work/run"
# Every value the show reads is stored, so it has nothing to write.
settings="$home/.config/glimmerz/settings.reg" frame="$work/frames/0.png" audio="$work/audio/tune.raw"
mkdir -p "$home/.config/glimmerz" && mkdir -m 777 "$work/frames" "$work/audio"
printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' '[HKEY_CURRENT_USER\Software\Vantorel\Glimmerz]' \
  '"music"=dword:00000001' '"displaywidth"=dword:00000280' '"displayheight"=dword:000001e0' '"displaybpp"=dword:00000010' \
  '"UseNULLddguid"=dword:00000001' '"deviceguid"=hex:e0,3d,e6,84,aa,46,cf,11,81,6f,00,00,c0,20,15,6e' >"$settings"
cp "$settings" "$work/settings.before" && chown -R 65534:65534 "$home/.config"
frame_size() { identify -format %wx%h "$frame" 2>/dev/null; }
cat >"$home/.xscreensaver" <<EOT
mode: one
selected: 0
timeout: 0:30:00
lock: False
fade: False
unfade: False
splash: False
dpmsEnabled: False
programs: \\
  "Glimmerz" $hack --root --no-music --mode 800x600x32 \\n\\
  "Glimmerz" $hack --root \\n\\

EOT
chmod 644 "$home/.xscreensaver"
# Each hack writes its first frame, and the tune goes to a file.
as_nobody env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$work/run" \
  GLIMMERZ_CAPTURE_DIR="$work/frames" GLIMMERZ_CAPTURE_AT=0 SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$audio" \
  xscreensaver -no-splash -verbose >"$work/daemon.log" 2>&1 &
daemon_pid=$!
ready=""
for _ in $(seq 200); do
  xscreensaver-command -time >/dev/null 2>&1 && { ready=1; break; }
  sleep 0.05
done
[ -n "$ready" ] || fail "the daemon did not come up"

xscreensaver-command -activate >/dev/null 2>&1 || fail "activate was refused"
for _ in $(seq 200); do [ -n "$(hack_pids)" ] && break; sleep 0.05; done
[ -n "$(hack_pids)" ] || fail "the daemon started no glimmerz"

# The show has begun when the warning sign lights up the middle of the screen.
shown=""
for _ in $(seq 150); do
  import -display "$DISPLAY" -window root "$work/shot.png" 2>/dev/null
  lit=$(convert "$work/shot.png" -crop 512x384+256+192 -colorspace Gray -format "%[fx:mean>0.02]" info: 2>/dev/null)
  [ "$lit" = 1 ] && { shown=1; break; }
  sleep 0.1
done
cp "$work/shot.png" "$shot_out" 2>/dev/null
[ -n "$shown" ] || fail "nothing of the show on the screen"
hack_pids >"$work/pids"
for _ in $(seq 100); do [ "$(frame_size)" = 800x600 ] && break; sleep 0.05; done
[ "$(frame_size)" = 800x600 ] || fail "the first frame is $(frame_size), not the 800x600 of --mode"
[ -e "$audio" ] && fail "the tune played despite --no-music"
cmp -s "$settings" "$work/settings.before" || fail "the run changed settings.reg"

# Cycling stops the hack and starts the next, and the daemon logs how the
# stopped one ended: as every stock hack does, by the SIGTERM it was sent.
xscreensaver-command -cycle >/dev/null 2>&1 || fail "cycle was refused"
for _ in $(seq 200); do grep -q "child pid .*exited" "$work/daemon.log" && break; sleep 0.05; done
grep -q "child pid .*glimmerz) exited normally with SIGTERM" "$work/daemon.log" ||
  fail "the daemon did not see the hack end by its SIGTERM"
for _ in $(seq 200); do [ -n "$(hack_pids)" ] && break; sleep 0.05; done

# The second entry, without the options, plays the stored settings.
xscreensaver-command -select 2 >/dev/null 2>&1 || fail "select was refused"
for _ in $(seq 300); do [ -s "$audio" ] && [ "$(frame_size)" = 640x480 ] && break; sleep 0.05; done
[ -s "$audio" ] && [ "$(frame_size)" = 640x480 ] || fail "without the options: tune $(ls -s "$audio"), frame $(frame_size)"
cmp -s "$settings" "$work/settings.before" || fail "a run changed settings.reg"

xscreensaver-command -deactivate >/dev/null 2>&1 || fail "deactivate was refused"
# The 2 s count from the daemon's SIGTERM, however long a busy machine keeps
# the daemon from sending it.
for _ in $(seq 600); do grep -q "killing pid" "$work/daemon.log" && break; sleep 0.05; done
grep -q "killing pid" "$work/daemon.log" || fail "the daemon never stopped the hack"
start=$(now_ms)
while [ -n "$(hack_pids)" ] && [ $(($(now_ms) - start)) -lt 2000 ]; do sleep 0.02; done
[ -z "$(hack_pids)" ] || fail "glimmerz still running 2 s after the daemon stopped it: $(hack_pids)"
echo "hack gone $(($(now_ms) - start)) ms after the daemon stopped it"
grep -qi "crashed\|abnormally" "$work/daemon.log" && fail "the daemon reports a crash"
# The hack says nothing: from its start on, every line of the log is the daemon's
# own, but for SDL's notice that the tune goes to a file.
sed -n '/forked .*glimmerz/,$p' "$work/daemon.log" | grep -v "^xscreensaver" |
  grep -v "^CRITICAL: .*SDL disk i/o audio driver\|^CRITICAL:  Writing to file \[$audio\]" | grep -q . &&
  fail "glimmerz printed something"
xscreensaver-command -exit >/dev/null 2>&1
echo "PASS"
