#!/usr/bin/env bash
# "/a" on the Windows 95/98/Me family hands the change to MPR.DLL's
# PwdChangePasswordA with the provider "SCRSAVE" and ends with 0. The owner is
# the window named on the command line, else the foreground window. Wine's own
# mpr.dll is replaced by a recording double (tests/doubles/mpr_double.c), which
# needs WINEDLLOVERRIDES to prefer the native file. Without the double (Wine's
# stub) and with an MPR.DLL lacking the entry point, nothing is shown and the
# exit code is still 0.
source "$(dirname "$0")/lib.sh"

e2e_display 1280x800x24
app=$E2E_DIR/app
mkdir -p "$app"
cp "$E2E_SCR" "$app/Gyrewell.scr"
e2e_set_version win98 Gyrewell.scr
log=$E2E_CWD/change.log
native_mpr="$WINEDLLOVERRIDES;mpr=n,b"

e2e_start owner parent_window --title "Owner"
e2e_wait_line owner '^parent hwnd=[0-9]+'
owner=$(e2e_field "$E2E_LINE" hwnd)

# Wine's own mpr.dll: an entry point that does nothing.
e2e_run plain "$app/Gyrewell.scr" /a "$owner"
e2e_expect_eq "$E2E_RC" 0 "exit code of /a with Wine's MPR.DLL"
[[ ! -e $log ]] || e2e_fail "the double was used without being asked for"

# No PwdChangePasswordA in MPR.DLL.
cp "$E2E_BUILD_DIR/tests/doubles/mpr_without_change.dll" "$app/mpr.dll"
WINEDLLOVERRIDES=$native_mpr e2e_run noentry "$app/Gyrewell.scr" /a "$owner"
e2e_expect_eq "$E2E_RC" 0 "exit code of /a without the entry point"
[[ ! -e $log ]] || e2e_fail "change.log written without PwdChangePasswordA"

cp "$E2E_BUILD_DIR/tests/doubles/mpr.dll" "$app/mpr.dll"
WINEDLLOVERRIDES=$native_mpr e2e_run named "$app/Gyrewell.scr" /a "$owner"
e2e_expect_eq "$E2E_RC" 0 "exit code of /a <owner>"
e2e_expect_eq "$(tr -d '\r' <"$log")" "change provider=SCRSAVE owner=$owner flags=0 reserved=0" "the change call"

# No usable number: the foreground window owns the dialog.
_e2e_driver host_probe
foreground=$(e2e_field "$(tr -d '\r' <"$_e2e_last_out")" foreground)
rm -f "$log"
WINEDLLOVERRIDES=$native_mpr e2e_run dead "$app/Gyrewell.scr" /a $((0x7ffe0))
e2e_expect_eq "$E2E_RC" 0 "exit code of /a <no window>"
e2e_expect_eq "$(tr -d '\r' <"$log")" "change provider=SCRSAVE owner=$foreground flags=0 reserved=0" \
  "the change call owned by the foreground window"
e2e_pass
