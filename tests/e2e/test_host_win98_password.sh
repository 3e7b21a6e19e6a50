#!/usr/bin/env bash
# The Windows 95/98/Me family (Wine told to report Windows 98), with a scripted
# PASSWORD.CPL beside a copy of the program (tests/doubles/password_double.c):
#   - no password in force: the first close request ends the saver, the
#     verifier is never asked and the running flag stays off;
#   - "ScreenSaveUsePassword" = 1: the running flag is on while the saver runs;
#     a close request while the dialog runs is refused without a second dialog;
#     a refused password keeps the saver running, and a close request right
#     after that dialog is refused without asking; a later key press asks
#     again and an accepted password ends it with 0 and the flag off;
#   - the value set but no PASSWORD.CPL: no password, the first close ends it.
source "$(dirname "$0")/lib.sh"

e2e_display 1280x800x24
e2e_mouse_move 600 380
app=$E2E_DIR/app
mkdir -p "$app"
cp "$E2E_SCR" "$app/Gyrewell.scr"
cp "$E2E_BUILD_DIR/tests/doubles/PASSWORD.CPL" "$app/"
e2e_set_version win98 Gyrewell.scr
log=$E2E_CWD/verify.log

probe() {
  _e2e_driver host_probe
  e2e_field "$(tr -d '\r' <"$_e2e_last_out")" "$1"
}
running_flag() { probe running; }

wait_shown() {
  e2e_wait_shown --class WindowsScreenSaverClass --title "Screen Saver"
  sleep 0.3
}

verify_calls() { if [[ -f $log ]]; then wc -l <"$log"; else echo 0; fi; }

# Waits until the verifier has been asked N times, then a little longer so
# that a call too many would show.
wait_calls() {
  for _ in $(seq 100); do
    (($(verify_calls) >= $1)) && break
    sleep 0.1
  done
  sleep 0.5
  e2e_expect_eq "$(verify_calls)" "$1" "$2"
}

# No password in force.
e2e_start open "$app/Gyrewell.scr" /s
wait_shown
e2e_expect_eq "$(running_flag)" 0 "running flag without a password"
e2e_key a
e2e_wait_exit open 10
e2e_expect_eq "$E2E_RC" 0 "exit code without a password"
e2e_expect_eq "$(verify_calls)" 0 "verifier calls without a password"

# A password in force.
e2e_run setpw reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t REG_DWORD /d 1 /f
e2e_expect_eq "$E2E_RC" 0 "reg add ScreenSaveUsePassword"
GYREWELL_VERIFY_ANSWERS=0n,0p,1 e2e_start locked "$app/Gyrewell.scr" /s
wait_shown
e2e_expect_eq "$(running_flag)" 1 "running flag while a password is in force"

e2e_key a  # dialog 1: a close request arrives while it runs; refused
wait_calls 1 "verifier calls after the first key"
e2e_alive locked || e2e_fail "a refused password ended the saver"
e2e_expect_eq "$(probe cursor)" 0 "cursor after a refused password (the dialog showed an arrow)"
e2e_expect_match "$(cat "$log")" 'call=1 .*running=1 answer=0' "first dialog"

e2e_key b  # dialog 2: refused, and a close request right after it
wait_calls 2 "verifier calls after the second key (none for the close right after)"
e2e_alive locked || e2e_fail "a close request right after a refused password ended the saver"

e2e_click 1  # dialog 3: accepted
e2e_wait_exit locked 10
e2e_expect_eq "$E2E_RC" 0 "exit code after an accepted password"
e2e_expect_eq "$(verify_calls)" 3 "verifier calls in all"
e2e_expect_eq "$(running_flag)" 0 "running flag after the saver ended"

# The value set, but no password component: the first close ends the saver.
rm -f "$app/PASSWORD.CPL" "$log"
e2e_start nocpl "$app/Gyrewell.scr" /s
wait_shown
e2e_expect_eq "$(running_flag)" 0 "running flag without PASSWORD.CPL"
e2e_key a
e2e_wait_exit nocpl 10
e2e_expect_eq "$E2E_RC" 0 "exit code without PASSWORD.CPL"
e2e_pass
