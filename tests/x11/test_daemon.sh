#!/usr/bin/env bash
# Under the real screen-saver daemon (Debian's xscreensaver, as an
# unprivileged user: it will not run as root), with the program installed by
# `cmake --install`: activated, the daemon's window shows the desktop the
# daemon grabbed, the pit and sprites. Ending the daemon ends the program.
source "$(dirname "$0")/lib.sh"
x11_display 1024x768x24
"$X11_CHECK" desktop

prefix=$X11_DIR/prefix
cmake --install "$X11_BUILD_DIR" --prefix "$prefix" >"$X11_DIR/install.out"
program=$prefix/libexec/xscreensaver/gyrewell
[[ -x $program ]] || x11_fail "cmake --install put no program at $program"
[[ -f $prefix/share/xscreensaver/config/gyrewell.xml ]] || x11_fail "cmake --install put no gyrewell.xml"

home=$X11_DIR/home
mkdir -p "$home"
chmod 755 "$X11_DIR"
chmod 777 "$home"
cat >"$home/.xscreensaver" <<END
timeout: 0:10:00
lock: False
splash: False
fade: False
unfade: False
mode: one
selected: 0
grabDesktopImages: True
programs: "Gyrewell" $program -root
END
as_nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$home" DISPLAY="$DISPLAY")

x11_start daemon "${as_nobody[@]}" xscreensaver -no-splash
x11_until 20 "${as_nobody[@]}" xscreensaver-command -version || x11_fail "the daemon did not answer"
"${as_nobody[@]}" xscreensaver-command -activate >"$X11_DIR/activate.out" 2>&1
x11_until 30 "$X11_CHECK" scene "$X11_DIR" daemon ||
  { "$X11_CHECK" scene "$X11_DIR" daemon || true; x11_fail "the daemon's window shows no desktop, pit and sprites"; }
pid=$(pgrep -u 65534 -f "^$program") || x11_fail "the program does not run under the daemon"
x11_stop daemon
x11_until 10 bash -c "! kill -0 $pid" || x11_fail "the program outlived the daemon"
