#!/usr/bin/env bash
# The preview's life under Wine: "/p <hwnd>" puts the effect into a child of
# the given window, as large as that window's client area, and the process
# stays up drawing until the parent is destroyed; then it ends with 0.
# (Wine never shows a child window drawn by another process, so the little
# preview's pixels are checked natively, not here.)
#
# Then a preview as large as the screen, on a 200 % display, where its field
# is larger than the screen's: programs that show a saver as the wallpaper
# hand it the desktop's window. A child of the desktop window is a top-level
# window to Wine, so its pixels reach the screen: the pit in the middle and
# sprites over the desktop. A parent window of the screen's size ends it
# with 0 when it is closed.
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

# Mid grey: the preview shows the desktop from its point (32, 32) on, which a
# desktop of one colour hides, and sprites are brighter than it.
grey=$E2E_DIR/grey.png
timeout 30 /usr/bin/convert -size "${E2E_SCREEN_W}x$E2E_SCREEN_H" xc:'#606060' "PNG24:$grey" ||
  e2e_fail "cannot make $grey"
e2e_set_desktop "$grey"
e2e_run dpi reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f
e2e_expect_eq "$E2E_RC" 0 "setting LogPixels to 192"
e2e_screen_info
desktop_window=$(e2e_field "$E2E_INFO" desktop)
e2e_start wallpaper scr /p "$desktop_window"
e2e_wait_shown --timeout 30 --class WindowsScreenSaverClass --title Preview
e2e_expect_eq "$(e2e_field "$E2E_WINDOW" client)" "${E2E_SCREEN_W}x$E2E_SCREEN_H" "client size of the desktop's preview"
wallpaper=$E2E_HWND
# At ten frames a second the sprites take a few seconds to come in from
# beyond the edges: screenshots until they are there (or 20 s have passed).
shots=()
sprites=0
for i in $(seq 40); do
  e2e_screenshot "wallpaper$i"
  shots+=("$E2E_SHOT")
  e2e_probe brighter "$grey" "$E2E_SHOT"
  sprites=$(e2e_field "$E2E_PROBE" brighter)
  ((sprites <= 500)) || break
  sleep 0.5
done
((sprites > 500)) || e2e_fail "hardly any sprite in the desktop's preview ($sprites bright pixels after 20 s)"
for i in 1 2; do  # the pit from three frames, as sprites fall across it
  sleep 0.3
  e2e_screenshot "wallpaper_pit$i"
  shots+=("$E2E_SHOT")
done
e2e_probe pit "$grey" $((E2E_SCREEN_W / 2)) $((E2E_SCREEN_H / 2)) "${shots[@]: -3}"
pit=$(e2e_field "$E2E_PROBE" pit_width)
# 96 pixels of the sheet, drawn twice as large; the faint rim is not counted.
((pit >= 120 && pit <= 200)) || e2e_fail "the pit of the desktop's preview is $pit px wide"
e2e_log "desktop's preview at 192 DPI: pit $pit px, $sprites sprite pixels after $((${#shots[@]} - 2)) screenshots"
e2e_alive wallpaper || e2e_fail "the desktop's preview ended by itself"
e2e_send "$wallpaper" WM_CLOSE
e2e_wait_exit wallpaper 15
e2e_expect_eq "$E2E_RC" 0 "exit code of the desktop's preview"

e2e_start large parent_window --fullscreen --title "Wallpaper host"
e2e_wait_line large '^parent hwnd=[0-9]+'
large=$(e2e_field "$E2E_LINE" hwnd)
e2e_start screen_preview scr /p "$large"
e2e_wait_shown --timeout 30 --child-of "$large" --class WindowsScreenSaverClass --title Preview
e2e_expect_eq "$(e2e_field "$E2E_WINDOW" client)" "${E2E_SCREEN_W}x$E2E_SCREEN_H" "client size of the screen-sized preview"
sleep 3
e2e_alive screen_preview || e2e_fail "the screen-sized preview ended by itself"
e2e_send "$large" WM_CLOSE
e2e_wait_exit screen_preview 15
e2e_expect_eq "$E2E_RC" 0 "exit code of the screen-sized preview after its parent was closed"
e2e_wait_exit large 10
e2e_expect_eq "$E2E_RC" 0 "exit code of the screen-sized parent"
e2e_pass
