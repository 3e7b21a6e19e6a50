#!/usr/bin/env bash
# Fixed runs on two outputs of different sizes, the second at scale 2 and
# turned a quarter (its desktop copy comes in its own orientation): each output's
# picture, read back with grim after -frames N, is the renderer's frame N for
# that output's size, scale and seed (-seed for the first output, the second
# field's seed of several monitors for the second) byte for byte. Over the desktop the compositor copied, as
# layer surfaces; over a picture file (smaller than one output, larger than
# the other) as full-screen windows; on black. SIGTERM ends each run with
# status 0 and the desktops come back.
source "$(dirname "$0")/lib.sh"
wl_compositor 800x600 1440x1280@2:90
sizes=(800x600 1280x1440) scales=(1 2)

# run NAME SEED FRAMES [PROGRAM OPTIONS] -- [RENDERER OPTIONS]: the run, then
# each output against the renderer.
run() {
  local name=$1 seed=$2 frames=$3 options=() render=() i
  shift 3
  while (($#)) && [[ $1 != -- ]]; do options+=("$1"); shift; done
  (($#)) && shift
  render=("$@")
  x11_start "$name" "${WL_AS[@]}" "$GYREWELL_WAYLAND" -seed "$seed" -frames "$frames" "${options[@]}"
  x11_until 60 grep -qx "gyrewell-wayland: $frames frames shown" "$X11_DIR/$name.out" ||
    x11_fail "$name: no \"$frames frames shown\" (said: $(head -c 200 "$X11_DIR/$name.out"))"
  for i in 1 2; do
    wl_shot "$i" "$X11_DIR/$name-$i.png"
    mkdir -p "$X11_DIR/$name-expected-$i"
    "$RENDER_FRAMES" --depth 32 --size "${sizes[i - 1]}" --scale "${scales[i - 1]}" --seed $(((seed + (i - 1) * 0x9E3779B9) & 0xFFFFFFFF)) \
      --frames "$frames" "${render[@]/@N@/$i}" "$X11_DIR/$name-expected-$i" ||
      x11_fail "$name: render_frames failed"
    wl_same "$X11_DIR/$name-$i.png" "$X11_DIR/$name-expected-$i/frame_$(printf %04d "$frames").png" ||
      x11_fail "$name: HEADLESS-$i is not the renderer's frame $frames"
  done
  x11_stop "$name"
  ((X11_RC == 0)) || x11_fail "$name: SIGTERM ended it with status $X11_RC"
  for i in 1 2; do
    x11_until 5 wl_shot_is "$i" "$X11_DIR/desktop-$i.png" || x11_fail "$name: HEADLESS-$i did not show its desktop again"
  done
}
wl_shot_is() { wl_shot "$1" "$X11_DIR/after-$1.png" && wl_same "$X11_DIR/after-$1.png" "$2" 2>/dev/null; }

run screencopy 7 40 -- --desktop "$X11_DIR/desktop-@N@.png"
# This sway stops repainting a full-screen window on one output while another
# is turned (its frame callbacks still come): the second output goes upright.
wl_msg output HEADLESS-2 transform normal
settled() {  # the same picture a second apart: the desktop drawn anew upright
  wl_shot 2 "$X11_DIR/upright.png" && sleep 1 && wl_shot 2 "$X11_DIR/desktop-2.png" &&
    wl_same "$X11_DIR/upright.png" "$X11_DIR/desktop-2.png" 2>/dev/null
}
x11_until 20 settled || x11_fail "HEADLESS-2 shows no desktop upright"
sizes[1]=1440x1280
convert -size 1000x500 -depth 8 "gradient:#c08030-#304080" "$X11_DIR/picture.png"
run toplevel 3 30 -toplevel -desktop "$X11_DIR/picture.png" -- --desktop "$X11_DIR/picture.png"
run black 11 25 -backdrop black -count 200 -- --mode 2 --count 200
