#!/usr/bin/env bash
# Under the real screen-saver daemon (Debian's xscreensaver, as an
# unprivileged user: it will not run as root), with the program installed by
# `cmake --install`: activated, the daemon's window shows the desktop the
# daemon grabbed, the pit and sprites. Ending the daemon ends the program.
source "$(dirname "$0")/lib.sh"
x11_display 1024x768x24
"$X11_CHECK" desktop

x11_daemon
program=$X11_PROGRAM
"${X11_AS_NOBODY[@]}" xscreensaver-command -activate >"$X11_DIR/activate.out" 2>&1
x11_until 30 "$X11_CHECK" scene "$X11_DIR" daemon ||
  { "$X11_CHECK" scene "$X11_DIR" daemon || true; x11_fail "the daemon's window shows no desktop, pit and sprites"; }
pid=$(pgrep -u 65534 -f "^$program") || x11_fail "the program does not run under the daemon"
x11_stop daemon
x11_until 10 bash -c "! kill -0 $pid" || x11_fail "the program outlived the daemon"
