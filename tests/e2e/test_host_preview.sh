#!/usr/bin/env bash
# Preview mode: "/p <hwnd>" puts a child titled "Preview" over the whole client
# area of a window of another program; input and deactivation never close it;
# destroying the parent ends the preview with 0. "/l" is the same switch, and a
# handle number wraps modulo 2^32.
source "$(dirname "$0")/lib.sh"

e2e_display 1280x800x24
e2e_start parent parent_window --size 200x150 --title "Display Properties"
e2e_wait_line parent '^parent hwnd=[0-9]+'
parent=$(e2e_field "$E2E_LINE" hwnd)

e2e_start preview scr /p "$parent"
e2e_wait_shown --child-of "$parent" --class WindowsScreenSaverClass --title Preview
child=$E2E_HWND
e2e_expect_eq "$(wc -l <<<"$E2E_WINDOWS")" 1 "preview windows"
e2e_expect_eq "$(e2e_field "$E2E_WINDOW" client)" 200x150 "preview client size"
e2e_expect_eq "$(e2e_field "$E2E_WINDOW" style)" 0x52000000 "preview style"
e2e_expect_eq "$(e2e_field "$E2E_WINDOW" exstyle)" 0x00000000 "preview extended style"

# Real input over the preview, then the messages that would end a saver.
rect=$(e2e_field "$E2E_WINDOW" rect)
IFS=, read -r left top _ _ <<<"$rect"
e2e_mouse_move $((left + 20)) $((top + 20))
e2e_mouse_move $((left + 120)) $((top + 100))
e2e_click 1
e2e_key a
for message in WM_KEYDOWN WM_LBUTTONDOWN WM_RBUTTONDOWN WM_MOUSEMOVE; do
  e2e_post "$child" "$message" 0 0
done
e2e_post "$child" WM_ACTIVATEAPP 0 0
e2e_send "$child" WM_POWERBROADCAST 4 0  # PBT_APMSUSPEND
sleep 0.5
e2e_alive preview || e2e_fail "input or deactivation closed the preview"

# The control panel closes; its child goes with it and the preview ends.
e2e_send "$parent" WM_CLOSE
e2e_wait_exit preview 10
e2e_expect_eq "$E2E_RC" 0 "exit code of the preview after its parent went"
e2e_wait_exit parent 10

# Help and context-menu requests go up to the control panel's window, with its
# own handle as wParam; the preview answers 1.
e2e_start helpful host_parent
e2e_wait_line helpful '^parent hwnd=[0-9]+'
helpful=$(e2e_field "$E2E_LINE" hwnd)
e2e_start preview3 scr /p "$helpful"
e2e_wait_window --child-of "$helpful" --class WindowsScreenSaverClass --title Preview
e2e_send "$E2E_HWND" 0x7B "$E2E_HWND" 70,80  # WM_CONTEXTMENU
e2e_expect_eq "$E2E_RESULT" 1 "answer to WM_CONTEXTMENU"
e2e_wait_line helpful '^got message=' 10
e2e_expect_eq "$E2E_LINE" "got message=0x7b wparam=$helpful lparam=$((80 * 65536 + 70))" "what the parent got"
e2e_send "$helpful" WM_CLOSE
e2e_wait_exit preview3 10
e2e_expect_eq "$E2E_RC" 0 "exit code of the third preview"

# /l with a handle number 2^32 above the real one.
e2e_start parent2 parent_window --size 160x120
e2e_wait_line parent2 '^parent hwnd=[0-9]+'
parent2=$(e2e_field "$E2E_LINE" hwnd)
e2e_start preview2 scr /l "$((parent2 + 4294967296))"
e2e_wait_window --child-of "$parent2" --class WindowsScreenSaverClass --title Preview
e2e_expect_eq "$(e2e_field "$E2E_WINDOW" client)" 160x120 "second preview client size"
e2e_send "$parent2" WM_CLOSE
e2e_wait_exit preview2 10
e2e_expect_eq "$E2E_RC" 0 "exit code of the /l preview"
e2e_pass
