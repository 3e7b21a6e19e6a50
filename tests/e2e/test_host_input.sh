#!/usr/bin/env bash
# A key press, a mouse click and the loss of activation to another program each
# end the saver with 0; key releases alone (a modifier let go) do not.
source "$(dirname "$0")/lib.sh"

start_saver() {
  e2e_start "$1" scr /s
  e2e_wait_shown --class WindowsScreenSaverClass --title "Screen Saver"
  sleep 0.3
  e2e_alive "$1" || e2e_fail "$1 ended on its own"
}

e2e_display 1280x800x24
e2e_mouse_move 600 380  # not the centre: --sync waits for a motion

start_saver keyed
e2e_key a
e2e_wait_exit keyed 10
e2e_expect_eq "$E2E_RC" 0 "exit code after a key press"
e2e_wait_no_window --timeout 5 --class WindowsScreenSaverClass

start_saver clicked
e2e_click 1
e2e_wait_exit clicked 10
e2e_expect_eq "$E2E_RC" 0 "exit code after a click"
e2e_wait_no_window --timeout 5 --class WindowsScreenSaverClass

start_saver right_clicked
e2e_click 3
e2e_wait_exit right_clicked 10
e2e_expect_eq "$E2E_RC" 0 "exit code after a right click"
e2e_wait_no_window --timeout 5 --class WindowsScreenSaverClass

# The wheel is not a button press.
start_saver deactivated
e2e_click 4
sleep 0.5
e2e_alive deactivated || e2e_fail "the mouse wheel ended the saver"
# Another program's window comes up and takes the activation.
e2e_start other parent_window --title "Other Program"
e2e_wait_exit deactivated 10
e2e_expect_eq "$E2E_RC" 0 "exit code after deactivation"
e2e_pass
