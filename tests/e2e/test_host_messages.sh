#!/usr/bin/env bash
# Messages from outside reach the saver's tables as the system would send them:
# a suspension query is granted with 1, power status changes, a resume after a
# failure, activation, swallowed system commands and WM_APP outside the
# Windows 95/98/Me family leave it running; a low-battery event, the monitor
# power command and a critical resume end it with 0.
source "$(dirname "$0")/lib.sh"

start_saver() {
  e2e_start "$1" scr /s
  e2e_wait_window --class WindowsScreenSaverClass --title "Screen Saver"
  hwnd=$E2E_HWND
  sleep 0.3
}

expect_running() {
  sleep 0.3
  e2e_alive "$1" || e2e_fail "$2 ended the saver"
}

e2e_display 1280x800x24
e2e_mouse_move 600 380

start_saver calm
e2e_send "$hwnd" WM_POWERBROADCAST 0 0
e2e_expect_eq "$E2E_RESULT" 1 "answer to a suspension query"
e2e_send "$hwnd" WM_POWERBROADCAST 0xA 0
e2e_send "$hwnd" WM_POWERBROADCAST 0x8013 0
e2e_send "$hwnd" WM_POWERBROADCAST 7 1
e2e_send "$hwnd" WM_ACTIVATEAPP 1 0
e2e_send "$hwnd" WM_KEYUP 0x41 0
e2e_send "$hwnd" WM_SETCURSOR "$hwnd" 0
e2e_expect_eq "$E2E_RESULT" 1 "answer to WM_SETCURSOR"
e2e_send "$hwnd" WM_SYSCOMMAND 0xF140 0
e2e_expect_eq "$E2E_RESULT" 0 "answer to SC_SCREENSAVE"
e2e_send "$hwnd" WM_SYSCOMMAND 0xF040 0
e2e_send "$hwnd" WM_SYSCOMMAND 0xF050 0
e2e_send "$hwnd" WM_APP 0 0
expect_running calm "a power status message, activation, a key release or a swallowed command"
e2e_send "$hwnd" WM_POWERBROADCAST 9 0  # PBT_APMBATTERYLOW
e2e_wait_exit calm 10
e2e_expect_eq "$E2E_RC" 0 "exit code after a low-battery event"

start_saver monitor
e2e_send "$hwnd" WM_SYSCOMMAND 0xF172 2  # SC_MONITORPOWER, low bits set
e2e_wait_exit monitor 10
e2e_expect_eq "$E2E_RC" 0 "exit code after SC_MONITORPOWER"

start_saver critical
e2e_send "$hwnd" 0x48 3 0  # WM_POWER, PWR_CRITICALRESUME
e2e_wait_exit critical 10
e2e_expect_eq "$E2E_RC" 0 "exit code after a critical resume"
e2e_pass
