#!/usr/bin/env bash
# What the dialog stores is what the saver uses, whatever folder each starts
# in: the dialog's OK, in the folder that holds the program, writes CHRNUM=20
# with the black backdrop to the user's file, and the saver started next from
# another folder (as Windows starts it, in System32) draws about twenty
# sprites' worth of pixels on a black field over a coloured desktop; 200
# gives many times more.
#
# Sprites cannot be told apart one by one (they overlap near the middle and
# fade there), so the observable is the number of non-black pixels. The
# native renderer, which composes frames with the same code, gives at
# 1280x800 on the black backdrop (seeds 1..3, frames 50..400):
#   20 sprites: 620..2100    100 sprites: 5400..8500    200: 11700..16500
# The bounds below hold the average of three screenshots between those bands;
# and no single screenshot may exceed 20 sprite cells of 24 x 24 pixels.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialog.sh"

# Non-black pixels of a screenshot.
lit_pixels() {
  /usr/bin/convert "$1" -colorspace gray -threshold 0 -format '%[fx:round(mean*w*h)]' info: ||
    e2e_fail "cannot count pixels of $1"
}

# saver_lit NAME: runs /s, prints the non-black pixel counts of three
# screenshots half a second apart, then ends the saver with a mouse move.
saver_lit() {
  local name=$1 i counts=()
  e2e_mouse_move 20 20
  e2e_start "$name" scr /s
  e2e_wait_window --timeout 30 --class WindowsScreenSaverClass --title "Screen Saver"
  sleep 1.5
  for i in 1 2 3; do
    e2e_screenshot "$name$i"
    counts+=("$(lit_pixels "$E2E_SHOT")")
    sleep 0.5
  done
  e2e_mouse_nudge 40 0
  e2e_wait_exit "$name" 20
  e2e_expect_eq "$E2E_RC" 0 "exit code of /s"
  e2e_wait_no_window --timeout 10 --class WindowsScreenSaverClass
  echo "${counts[*]}"
}

e2e_display 1280x800x24
# A coloured desktop, so that only the black backdrop gives a black field.
e2e_test_picture desk.png
e2e_set_desktop desk.png
e2e_wine
mkdir -p "$E2E_CWD"
rm -f "$E2E_CWD/Gyrewell.ini"

# Choose 20 and black in the dialog, as a user would, and press OK.
e2e_start config scr /c
drive config.drive pos:20 click:1045 click:1 gone
e2e_wait_exit config
e2e_expect_eq "$E2E_RC" 1 "exit code of /c after OK"
e2e_expect_eq "$(tr -d '\r' <"$(user_ini)")" $'[Gyrewell]\nCHRNUM=20\nPTNNUM=2' "file written by the dialog"
[[ ! -e $E2E_CWD/Gyrewell.ini ]] || e2e_fail "OK wrote the dialog's folder's file too"

elsewhere=$E2E_DIR/system32
mkdir -p "$elsewhere"
few=$(E2E_CWD=$elsewhere saver_lit few)
e2e_log "non-black pixels with CHRNUM=20: $few"
sum=0
for n in $few; do
  ((n > 0)) || e2e_fail "no sprite drawn with CHRNUM=20 (counts: $few)"
  ((n <= 20 * 24 * 24)) || e2e_fail "more than twenty sprite cells lit with CHRNUM=20 (counts: $few)"
  sum=$((sum + n))
done
((sum / 3 < 3500)) || e2e_fail "more than twenty sprites' worth drawn with CHRNUM=20 (counts: $few)"

printf '[Gyrewell]\r\nCHRNUM=200\r\nPTNNUM=2\r\n' >"$(user_ini)"
many=$(E2E_CWD=$elsewhere saver_lit many)
e2e_log "non-black pixels with CHRNUM=200: $many"
sum=0
for n in $many; do sum=$((sum + n)); done
((sum / 3 > 9000)) || e2e_fail "too few sprites drawn with CHRNUM=200 (counts: $many)"

e2e_pass
