#!/usr/bin/env bash
# On a 256-colour display the effect leaves itself out: the saver window still
# covers the screen (plain black, no desktop copy, no sprites) and still ends
# with 0 on mouse travel.
source "$(dirname "$0")/lib.sh"

e2e_display 1024x768x8
e2e_screen_info
e2e_expect_eq "$(e2e_field "$E2E_INFO" bpp)" 8 "BITSPIXEL of the screen"

# Lit samples of a screenshot, out of 64 x 48 spread over the screen.
lit_samples() {
  /usr/bin/convert "$1" -sample '64x48!' -depth 8 rgb:- | od -An -v -tu1 -w3 |
    awk '$1 + $2 + $3 > 0 { n++ } END { print n + 0 }'
}

e2e_test_picture desk.png
timeout 10 /usr/bin/display -display "$DISPLAY" -window root "$E2E_DIR/desk.png" || true
e2e_screenshot desktop
desktop_lit=$(lit_samples "$E2E_SHOT")
((desktop_lit > 2000)) || e2e_fail "the desktop picture did not show: $desktop_lit lit samples"

e2e_mouse_move 20 20
e2e_start saver scr /s
e2e_wait_window --timeout 30 --class WindowsScreenSaverClass --title "Screen Saver"
e2e_expect_eq "$(e2e_field "$E2E_WINDOW" rect)" 0,0,1024,768 "saver window rectangle"
for shot in first second; do
  sleep 1
  e2e_screenshot "$shot"
  e2e_expect_eq "$(lit_samples "$E2E_SHOT")" 0 "lit samples under the saver ($shot screenshot)"
done
e2e_alive saver || e2e_fail "the saver ended on its own"

e2e_mouse_nudge 40 0
e2e_wait_exit saver 20
e2e_expect_eq "$E2E_RC" 0 "exit code after the mouse move"
e2e_pass
