#!/usr/bin/env bash
# As a user runs it: on the root window over a desktop, ended by SIGTERM; in
# a window of its own that is resized (smaller than a sprite) and then
# closed; and with a bad option.
source "$(dirname "$0")/lib.sh"
x11_display 1024x768x24
"$X11_CHECK" desktop

x11_start root "$GYREWELL" -root
x11_until 30 "$X11_CHECK" scene "$X11_DIR" root ||
  { "$X11_CHECK" scene "$X11_DIR" root || true; x11_fail "no pit and sprites over the desktop"; }
x11_stop root
((X11_RC == 0)) || x11_fail "SIGTERM ended -root with status $X11_RC"
"$X11_CHECK" desktop-back "$X11_DIR" after-root || x11_fail "the desktop did not come back"

x11_start window "$GYREWELL" -window -count 200 -fps
x11_until 10 xdotool search --name '^Gyrewell$' >"$X11_DIR/window.id" || x11_fail "no window named Gyrewell"
window=$(head -n1 "$X11_DIR/window.id")
xdotool windowsize "$window" 20 12  # below the smallest field the scene is laid out for
sleep 1
x11_alive window || x11_fail "the program ended when its window was resized"
xdotool windowclose "$window"
x11_until 10 bash -c "! kill -0 ${X11_PID[window]}" || x11_fail "the program outlived its window"
X11_RC=0
wait "${X11_PID[window]}" || X11_RC=$?
((X11_RC == 0)) || x11_fail "closing the window ended the program with status $X11_RC"

rc=0
"$GYREWELL" -root -count 500 2>"$X11_DIR/bad.err" || rc=$?
((rc == 1)) || x11_fail "-count 500 gave status $rc"
grep -q 'bad value "500" for option "-count"' "$X11_DIR/bad.err" || x11_fail "-count 500: $(head -n1 "$X11_DIR/bad.err")"
