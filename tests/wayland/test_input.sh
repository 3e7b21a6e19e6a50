#!/usr/bin/env bash
# As a user meets it: a key ends it; pointer travel of four pixels or less
# does not, more does; a click does. Each with status 0. A bad option, no
# compositor and a -desktop file that is no picture end it with status 1
# and say why.
source "$(dirname "$0")/lib.sh"
wl_compositor 640x480

# Starts the saver and waits until it draws over the desktop.
start() {
  x11_start "$1" "${WL_AS[@]}" "$GYREWELL_WAYLAND"
  x11_until 30 drawn || x11_fail "$1: nothing drawn over the desktop"
}
drawn() { wl_shot 1 "$X11_DIR/shown.png" && ! wl_same "$X11_DIR/shown.png" "$X11_DIR/desktop-1.png" 2>/dev/null; }
ends() {
  x11_until 10 bash -c "! kill -0 ${X11_PID[$1]}" || x11_fail "$1: still running"
  X11_RC=0
  wait "${X11_PID[$1]}" || X11_RC=$?
  ((X11_RC == 0)) || x11_fail "$1: ended with status $X11_RC"
}

# A keyboard that is there before the key, as a user's is.
start key
"${WL_AS[@]}" wtype -s 1000 -k a || x11_fail "wtype failed"
ends key

# The test's pointer: one device for the whole run, given a second to be seen.
start travel
coproc POINTER { "${WL_AS[@]}" "$VIRTUAL_POINTER" 2>"$X11_DIR/pointer.err"; }
point() {
  local answer
  echo "$1" >&"${POINTER[1]}"
  read -r -t 10 answer <&"${POINTER[0]}" && [[ $answer == ok ]] || x11_fail "the pointer did not $1"
}
sleep 1
point "move 1 0"
point "move 1 1"
point "move -1 1"
sleep 0.5
x11_alive travel || x11_fail "pointer travel of four pixels or less ended it"
point "move 6 0"
ends travel

start click
sleep 0.5
point "move 1 0"
sleep 1
point click
ends click
exec {POINTER[1]}>&-

rc=0
"$GYREWELL_WAYLAND" -count 500 2>"$X11_DIR/bad.err" || rc=$?
((rc == 1)) && grep -q 'bad value "500" for option "-count"' "$X11_DIR/bad.err" && grep -q '^usage:' "$X11_DIR/bad.err" ||
  x11_fail "-count 500: status $rc, $(head -n 1 "$X11_DIR/bad.err")"
rc=0
mkdir -m 700 "$X11_DIR/empty"
XDG_RUNTIME_DIR=$X11_DIR/empty WAYLAND_DISPLAY=wayland-9 "$GYREWELL_WAYLAND" 2>"$X11_DIR/none.err" || rc=$?
((rc == 1)) && grep -q 'cannot connect to a Wayland compositor (WAYLAND_DISPLAY=wayland-9)' "$X11_DIR/none.err" ||
  x11_fail "no compositor: status $rc, $(head -n 1 "$X11_DIR/none.err")"
rc=0
"${WL_AS[@]}" "$GYREWELL_WAYLAND" -desktop "$X11_DIR/sway.config" 2>"$X11_DIR/file.err" || rc=$?
((rc == 1)) && grep -q 'cannot read ".*sway.config" as a PNG picture' "$X11_DIR/file.err" ||
  x11_fail "-desktop with no picture: status $rc, $(head -n 1 "$X11_DIR/file.err")"
