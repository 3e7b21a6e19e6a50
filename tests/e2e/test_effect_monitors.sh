#!/usr/bin/env bash
# Two monitors of different sizes, the main one on the right (the virtual
# screen then starts left of 0) and then on the left: each monitor shows its
# own field. Its desktop stays at its corners, the pit lies in its own middle,
# sprites fall on it (counted on the black backdrop, main one on the right),
# what lies beside the smaller monitor stays black, and a key ends the saver
# with 0. The desktop gives each monitor
# its own four coloured quadrants, so a field drawn across the seam, or one
# monitor left black, shows at once.
source "$(dirname "$0")/lib.sh"

e2e_display 1920x600x24
e2e_wine

# quadrants FILE WxH+X+Y...: black, with each monitor's own four quadrants.
quadrants() {
  local file=$1 draw=() monitor w h x y
  shift
  for monitor in "$@"; do
    [[ $monitor =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]]
    w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]} x=${BASH_REMATCH[3]} y=${BASH_REMATCH[4]}
    draw+=(-fill '#ff0000' -draw "rectangle $x,$y $((x + w / 2 - 1)),$((y + h / 2 - 1))"
      -fill '#00ff00' -draw "rectangle $((x + w / 2)),$y $((x + w - 1)),$((y + h / 2 - 1))"
      -fill '#0000ff' -draw "rectangle $x,$((y + h / 2)) $((x + w / 2 - 1)),$((y + h - 1))"
      -fill '#ffffff' -draw "rectangle $((x + w / 2)),$((y + h / 2)) $((x + w - 1)),$((y + h - 1))")
  done
  /usr/bin/convert -size 1920x600 xc:black "${draw[@]}" "PNG24:$E2E_DIR/$file" || e2e_fail "cannot make $file"
}

# Runs the saver and takes three screenshots once the sprites are in: SHOTS.
run_saver() {   # NAME
  e2e_mouse_move 5 5
  e2e_start "$1" scr /s
  e2e_wait_shown --class WindowsScreenSaverClass --title "Screen Saver"
  e2e_expect_eq "$(e2e_field "$E2E_WINDOW" rect)" "$WINDOW_RECT" "the saver window over the virtual screen"
  sleep 2
  e2e_shots "$1"
  e2e_key a
  e2e_wait_exit "$1"
  e2e_expect_eq "$E2E_RC" 0 "exit code of /s after a key"
}

# The colours of a picture at the four corners of monitor WxH+X+Y, 3 pixels in.
corners() {   # FILE X Y W H
  local x=$2 y=$3 w=$4 h=$5
  /usr/bin/convert "$1" -format "%[pixel:p{$((x + 3)),$((y + 3))}] %[pixel:p{$((x + w - 4)),$((y + 3))}] \
%[pixel:p{$((x + 3)),$((y + h - 4))}] %[pixel:p{$((x + w - 4)),$((y + h - 4))}]" info: ||
    e2e_fail "cannot read the corners of $1"
}

# check_desktop WxH+X+Y: the pit in the monitor's middle and its desktop at
# its four corners (in screen coordinates of the X display).
check_desktop() {
  [[ $1 =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]]
  local w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]} x=${BASH_REMATCH[3]} y=${BASH_REMATCH[4]} shot kept=0 i pit
  e2e_probe pit "$DESK" $((x + w / 2)) $((y + (h + 1) / 2)) "${SHOTS[@]}"
  pit=$(e2e_field "$E2E_PROBE" pit_width)
  e2e_log "monitor $1: pit $pit px wide"
  ((pit > 40 && pit < 100)) || e2e_fail "monitor $1: no pit in its middle ($pit px)"
  # A sprite crossing a corner may hide it in one shot, not in all.
  local -a want got
  read -r -a want <<<"$(corners "$DESK" "$x" "$y" "$w" "$h")"
  for shot in "${SHOTS[@]}"; do
    read -r -a got <<<"$(corners "$shot" "$x" "$y" "$w" "$h")"
    for i in 0 1 2 3; do [[ ${got[i]} != "${want[i]}" ]] || kept=$((kept + 1)); done
  done
  ((kept >= 10)) || e2e_fail "monitor $1: its desktop is at $kept of 12 corner samples, not its own quadrants"
}

# check_sprites WxH+X+Y: the black field of that monitor has sprites on it.
check_sprites() {
  local lit=0 shot
  for shot in "${SHOTS[@]}"; do
    /usr/bin/convert "$shot" -crop "$1" +repage "PNG24:$shot.crop.png"
    e2e_probe squares "$shot.crop.png" 1
    lit=$((lit + $(e2e_field "$E2E_PROBE" lit)))
  done
  e2e_log "monitor $1: $lit lit pixels in three shots of the black field"
  ((lit > 3000)) || e2e_fail "monitor $1: hardly a sprite on its black field ($lit lit pixels)"
}

# layout NAME MAIN OTHER VIRTUAL RECT [black]: the monitors in X's
# coordinates, the virtual screen as Windows reports it (x,y,w,h) and the
# saver window's rectangle there (left,top,right,bottom); with "black" the
# saver runs again on the black backdrop, to count each monitor's sprites.
layout() {
  local name=$1 main=$2 other=$3
  WINDOW_RECT=$5
  e2e_monitors "$main" "$other"
  e2e_expect_match "$E2E_INFO" " virtual=$4 " "the virtual screen Wine reports"
  quadrants "$name-desk.png" "$main" "$other"
  e2e_set_desktop "$name-desk.png"
  DESK=$E2E_DIR/$name-desk.png

  printf '[Gyrewell]\r\nCHRNUM=20\r\nPTNNUM=1\r\n' >"$E2E_CWD/Gyrewell.ini"
  run_saver "$name-desktop"
  check_desktop "$main"
  check_desktop "$other"
  [[ ${6:-} == black ]] || return 0

  printf '[Gyrewell]\r\nCHRNUM=200\r\nPTNNUM=2\r\n' >"$E2E_CWD/Gyrewell.ini"
  run_saver "$name-black"
  check_sprites "$main"
  check_sprites "$other"
}

# The main monitor on the right of a smaller, lower one: the strip above the
# small one lies in the window but on no monitor, and stays black.
layout right 1120x600+800+0 800x480+0+120 -800,0,1920,600 -800,0,1120,600 black
for shot in "${SHOTS[@]}"; do
  /usr/bin/convert "$shot" -crop 800x120+0+0 +repage "PNG24:$shot.gap.png"
  e2e_probe squares "$shot.gap.png" 1
  e2e_expect_eq "$(e2e_field "$E2E_PROBE" lit)" 0 "lit pixels beside the smaller monitor"
done

layout left 1120x600+0+0 800x600+1120+0 0,0,1920,600 0,0,1920,600
e2e_pass
