#!/usr/bin/env bash
# Simulated input reaches a full-screen topmost Wine window, the way it must
# reach the saver: mouse moves (absolute and relative), a click and a key.
source "$(dirname "$0")/lib.sh"

e2e_display 1024x768x24
e2e_mouse_move 100 100
e2e_start parent parent_window --fullscreen --log-input
e2e_wait_window --class GyrewellTestParent
e2e_expect_eq "$(e2e_field "$E2E_WINDOW" rect)" 0,0,1024,768 "full-screen rectangle"
e2e_expect_eq "$(e2e_field "$E2E_WINDOW" topmost)" 1 "topmost"

e2e_mouse_move 300 200
e2e_wait_line parent '^input WM_MOUSEMOVE x=300 y=200$' 5
e2e_mouse_nudge 7 -3
e2e_wait_line parent '^input WM_MOUSEMOVE x=307 y=197$' 5
e2e_click 1
e2e_wait_line parent '^input WM_LBUTTONDOWN x=307 y=197$' 5
e2e_key a
e2e_wait_line parent '^input WM_KEYDOWN wparam=65$' 5    # 'A'
e2e_key Escape
e2e_wait_line parent '^input WM_KEYDOWN wparam=27$' 5

e2e_screen_info
e2e_expect_eq "$(e2e_field "$E2E_INFO" cursor)" 307,197 "cursor position seen by Win32"
e2e_pass
