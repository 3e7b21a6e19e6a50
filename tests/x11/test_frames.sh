#!/usr/bin/env bash
# A fixed run (seed, test desktop, 40 frames) on a screen of the given
# geometry shows, pixel for pixel, the native renderer's 40th frame: once
# through MIT-SHM, once through plain XPutImage. With a scale above 1 the
# renderer draws at that scale, and the program is told it once by -scale and
# once by the desktop's Xft.dpi (96 per step).
#   bash tests/x11/test_frames.sh 640x400x24 [SCALE]
scale=${2:-1}
X11_NAME=frames_$1_$scale
source "$(dirname "$0")/lib.sh"
x11_display "$1"
if ((scale == 1)); then
  "$X11_CHECK" frames "$X11_DIR" 1 "$GYREWELL" || x11_fail "MIT-SHM run"
  "$X11_CHECK" frames "$X11_DIR" 1 "$GYREWELL" -no-shm || x11_fail "XPutImage run"
else
  "$X11_CHECK" frames "$X11_DIR" "$scale" "$GYREWELL" -scale "$scale" || x11_fail "MIT-SHM run, -scale $scale"
  "$X11_CHECK" dpi $((96 * scale))
  "$X11_CHECK" frames "$X11_DIR" "$scale" "$GYREWELL" -no-shm || x11_fail "XPutImage run, Xft.dpi $((96 * scale))"
fi
