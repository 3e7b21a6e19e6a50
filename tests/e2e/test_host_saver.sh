#!/usr/bin/env bash
# Saver mode with real windows and real input: one topmost popup of the saver
# class covering the screen; a second start only brings the first to the front;
# mouse travel of 4 pixels leaves it up and the fifth pixel ends it.
source "$(dirname "$0")/lib.sh"

e2e_display 1280x800x24
e2e_mouse_move 600 400
e2e_start saver scr /s
e2e_wait_shown --class WindowsScreenSaverClass --title "Screen Saver"
hwnd=$E2E_HWND
e2e_expect_eq "$(wc -l <<<"$E2E_WINDOWS")" 1 "saver windows"
e2e_expect_eq "$(e2e_field "$E2E_WINDOW" rect)" 0,0,1280,800 "window rectangle"
e2e_expect_eq "$(e2e_field "$E2E_WINDOW" topmost)" 1 "topmost"
e2e_expect_eq "$(e2e_field "$E2E_WINDOW" visible)" 1 "visible"
e2e_expect_eq "$(e2e_field "$E2E_WINDOW" style)" 0x96000000 "window style"
e2e_expect_eq "$(e2e_field "$E2E_WINDOW" exstyle)" 0x00000088 "extended style"
_e2e_driver host_probe
probe=$(tr -d '\r' <"$_e2e_last_out")
e2e_expect_eq "$(e2e_field "$probe" foreground)" "$hwnd" "foreground window"
e2e_expect_eq "$(e2e_field "$probe" cursor)" 0 "cursor while the saver runs"

# A second saver ends at once with 0 and leaves the first one alone.
e2e_run second scr /s
e2e_expect_eq "$E2E_RC" 0 "exit code of the second /s"
e2e_find_window --class WindowsScreenSaverClass --title "Screen Saver" || e2e_fail "first saver gone"
e2e_expect_eq "$E2E_HWND" "$hwnd" "the first saver's window"
e2e_expect_eq "$(wc -l <<<"$E2E_WINDOWS")" 1 "saver windows after the second start"
e2e_alive saver || e2e_fail "the first saver ended"

# 3 right and 1 down add up to 4: still running.
e2e_mouse_nudge 3 0
e2e_mouse_nudge 0 1
sleep 0.5
e2e_alive saver || e2e_fail "4 pixels of travel ended the saver"
# One more pixel away from where it started: 5.
e2e_mouse_nudge 1 0
e2e_wait_exit saver 10
e2e_expect_eq "$E2E_RC" 0 "exit code after mouse travel"
e2e_wait_no_window --timeout 5 --class WindowsScreenSaverClass
e2e_pass
