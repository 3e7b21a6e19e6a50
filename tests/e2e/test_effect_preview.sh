#!/usr/bin/env bash
# The preview's life under Wine: "/p <hwnd>" puts the effect into a child of
# the given window, as large as that window's client area, and the process
# stays up drawing until the parent is destroyed; then it ends with 0.
# (Wine never shows a child window drawn by another process, so the preview's
# pixels are checked natively, not here.)
source "$(dirname "$0")/lib.sh"

e2e_display 1024x768x24

# Started by the test: the exit code is the test's to read.
e2e_start parent parent_window --size 300x200 --title "Display Properties"
e2e_wait_line parent '^parent hwnd=[0-9]+'
parent=$(e2e_field "$E2E_LINE" hwnd)
parent_pid=$(e2e_field "$E2E_LINE" pid)
e2e_start preview scr /p "$parent"
e2e_wait_shown --timeout 30 --child-of "$parent" --class WindowsScreenSaverClass --title Preview
e2e_expect_eq "$(wc -l <<<"$E2E_WINDOWS")" 1 "preview windows in the parent"
child=$E2E_HWND
e2e_expect_eq "$(e2e_field "$E2E_WINDOW" client)" 300x200 "client size of the preview"
e2e_expect_eq "$(e2e_field "$E2E_WINDOW" parent)" "$parent" "parent of the preview"
[[ $(e2e_field "$E2E_WINDOW" pid) != "$parent_pid" ]] ||
  e2e_fail "the preview window belongs to the parent's process"
# It keeps running: the animation thread does not end it, and the input that
# closes a saver (here a mouse sweep across the parent) leaves a preview alone.
rect=$(e2e_field "$E2E_WINDOW" rect)
IFS=, read -r left top right bottom <<<"$rect"
e2e_mouse_move $((left + 10)) $((top + 10))
sleep 1
e2e_mouse_move $((right - 10)) $((bottom - 10))
sleep 1
e2e_alive preview || e2e_fail "the preview ended while its parent was still there"
e2e_find_window --child-of "$parent" --class WindowsScreenSaverClass --title Preview ||
  e2e_fail "the preview window is gone"
e2e_expect_eq "$E2E_HWND" "$child" "the same preview window"

# The control panel destroys its window: the preview follows.
e2e_send "$parent" WM_CLOSE
e2e_wait_exit preview 15
e2e_expect_eq "$E2E_RC" 0 "exit code of /p after the parent was destroyed"
e2e_wait_exit parent 10
e2e_expect_eq "$E2E_RC" 0 "exit code of the parent"

# The same through the parent's own CreateProcess, at the control panel's
# preview size: the parent sees the child end with 0 once it is destroyed.
scr_path="Z:${E2E_SCR//\//\\}"
e2e_start panel parent_window --run "\"$scr_path\" /p %HWND%"
e2e_wait_line panel '^child pid=[0-9]+'
e2e_wait_line panel '^parent hwnd=[0-9]+'
panel=$(e2e_field "$E2E_LINE" hwnd)
e2e_wait_window --timeout 30 --child-of "$panel" --class WindowsScreenSaverClass --title Preview
e2e_expect_eq "$(e2e_field "$E2E_WINDOW" client)" 152x112 "client size of the small preview"
sleep 1
if grep -q '^child exit=' "$(e2e_out panel)"; then
  e2e_fail "the preview ended early: $(grep '^child exit=' "$(e2e_out panel)")"
fi
e2e_send "$panel" WM_CLOSE
e2e_wait_exit panel 15
e2e_expect_eq "$E2E_RC" 0 "exit code of the panel"
e2e_wait_line panel '^child exit='
e2e_expect_eq "$E2E_LINE" "child exit=0" "the preview's exit as the panel saw it"
e2e_pass
