#!/usr/bin/env bash
# Gyrewell.scr starts under Wine and its process ends with the code its entry
# returns: -1 (255 to the shell) for a switch it does not know or a preview
# without a window handle, 0 for a saver run that a mouse move ended.
source "$(dirname "$0")/lib.sh"

e2e_display 1280x800x24
for args in "/x" "/p" "/p 0"; do
  e2e_run "bad_${args//[^a-z0-9]/_}" scr $args
  e2e_expect_eq "$E2E_RC" 255 "exit code of Gyrewell.scr $args"
done

e2e_mouse_move 640 400
e2e_start saver scr /s
e2e_wait_window --class WindowsScreenSaverClass --title "Screen Saver"
e2e_expect_eq "$(e2e_field "$E2E_WINDOW" rect)" 0,0,1280,800 "saver window rectangle"
e2e_screenshot saver
e2e_mouse_nudge 40 0
e2e_wait_exit saver 10
e2e_expect_eq "$E2E_RC" 0 "exit code of a saver run ended by the mouse"
e2e_pass
