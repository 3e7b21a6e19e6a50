#!/usr/bin/env bash
# A fault inside a mode ends the process with -1 and, on the Windows 95/98/Me
# family, clears the screen-saver-running flag first. GyrewellHooked.scr is the
# program built with test hooks that fault on purpose (never in Gyrewell.scr):
#   /zd  at once, in the mode itself
#   /zc  inside WM_CREATE, called back from CreateWindowExA
#   /zk  inside the window procedure, on a key press
source "$(dirname "$0")/lib.sh"

e2e_display 1280x800x24
e2e_mouse_move 600 380
hooked=$E2E_BUILD_DIR/tests/GyrewellHooked.scr
app=$E2E_DIR/app
mkdir -p "$app"
cp "$hooked" "$app/GyrewellHooked.scr"
cp "$E2E_BUILD_DIR/tests/doubles/PASSWORD.CPL" "$app/"

running_flag() {
  _e2e_driver host_probe
  e2e_field "$(tr -d '\r' <"$_e2e_last_out")" running
}

# The hooks are not reachable in the shipped program: /z is an unknown letter.
e2e_run shipped scr /zd
e2e_expect_eq "$E2E_RC" 255 "exit code of Gyrewell.scr /zd"

for hook in /zd /zc; do
  e2e_run "nt${hook#/}" "$app/GyrewellHooked.scr" "$hook"
  e2e_expect_eq "$E2E_RC" 255 "exit code of a fault ($hook)"
done

e2e_set_version win98 GyrewellHooked.scr
e2e_run setpw reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t REG_DWORD /d 1 /f

e2e_start keyfault "$app/GyrewellHooked.scr" /zk
e2e_wait_window --class WindowsScreenSaverClass --title "Screen Saver"
sleep 0.5
e2e_expect_eq "$(running_flag)" 1 "running flag before the fault"
e2e_key a
e2e_wait_exit keyfault 10
e2e_expect_eq "$E2E_RC" 255 "exit code of a fault in the window procedure"
e2e_expect_eq "$(running_flag)" 0 "running flag after the fault"

e2e_run createfault "$app/GyrewellHooked.scr" /zc
e2e_expect_eq "$E2E_RC" 255 "exit code of a fault in WM_CREATE"
e2e_expect_eq "$(running_flag)" 0 "running flag after a fault in WM_CREATE"
e2e_pass
