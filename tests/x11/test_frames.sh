#!/usr/bin/env bash
# A fixed run (seed, test desktop, 40 frames) on a screen of the given
# geometry shows, pixel for pixel, the native renderer's 40th frame: once
# through MIT-SHM, once through plain XPutImage.
#   bash tests/x11/test_frames.sh 640x400x24
X11_NAME=frames_$1
source "$(dirname "$0")/lib.sh"
x11_display "$1"
"$X11_CHECK" frames "$X11_DIR" "$GYREWELL" || x11_fail "MIT-SHM run"
"$X11_CHECK" frames "$X11_DIR" "$GYREWELL" -no-shm || x11_fail "XPutImage run"
