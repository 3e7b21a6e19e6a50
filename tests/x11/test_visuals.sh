#!/usr/bin/env bash
# Windows whose visual is not the screen's default, each compared with the
# renderer's frame (x11_check window):
#   argb         a depth-32 window, as compositors and wallpaper wrappers hand
#                out: by -window-id, with MIT-SHM and with XPutImage and -fps,
#                and as the daemon's window. Every pixel must come out opaque;
#                the daemon's image helper cannot paint such a window, so the
#                backdrop is black there and nothing else changes.
#   directcolor  a screen whose default visual is DirectColor (as an 8-bit
#                PseudoColor one, not drawn at): -window takes a TrueColor
#                visual the server also offers; -root cannot and says so.
#   bash tests/x11/test_visuals.sh argb|directcolor
X11_NAME=visuals_$1
source "$(dirname "$0")/lib.sh"
case $1 in
  argb)
    x11_display 1024x768x24
    "$X11_CHECK" desktop
    "$X11_CHECK" window "$X11_DIR" argb "$GYREWELL" || x11_fail "-window-id, MIT-SHM"
    "$X11_CHECK" window "$X11_DIR" argb "$GYREWELL" -no-shm -fps || x11_fail "-window-id, XPutImage, -fps"
    # Desktop grabbing on, so that the helper would try if it were asked.
    mkdir -p "$X11_DIR/home"
    echo 'grabDesktopImages: True' >"$X11_DIR/home/.xscreensaver"
    HOME=$X11_DIR/home "$X11_CHECK" window "$X11_DIR" argb-daemon "$GYREWELL" || x11_fail "the daemon's window"
    ;;
  directcolor)
    x11_display 1024x768x24 -cc 5  # 5: DirectColor
    "$X11_CHECK" window "$X11_DIR" own "$GYREWELL" || x11_fail "-window"
    rc=0
    "$GYREWELL" -root 2>"$X11_DIR/root.err" || rc=$?
    ((rc == 1)) || x11_fail "-root on a DirectColor root gave status $rc"
    grep -q 'is not TrueColor' "$X11_DIR/root.err" || x11_fail "-root: $(head -n1 "$X11_DIR/root.err")"
    ;;
  *) x11_fail "unknown case $1" ;;
esac
