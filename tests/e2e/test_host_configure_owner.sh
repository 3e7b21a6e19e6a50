#!/usr/bin/env bash
# Who owns the settings dialog: "/c:<hwnd>" that window; "/c <hwnd>" (the
# number after a blank is not read) and "/c:" with no window the foreground
# window; no switch at all, nobody.
source "$(dirname "$0")/lib.sh"

e2e_display 1280x800x24
e2e_start named parent_window --title "Named Owner"
e2e_wait_line named '^parent hwnd=[0-9]+'
named=$(e2e_field "$E2E_LINE" hwnd)
e2e_start front parent_window --title "Front Window"
e2e_wait_line front '^parent hwnd=[0-9]+'
sleep 0.5

# The named row comes last: closing a dialog activates its owner.
i=0
for pair in "/c $named=fg" "/c:$((0x7ffe0))=fg" "/C=fg" "=0" "/c:$named=$named"; do
  switch=${pair%=*}
  want=${pair##*=}
  i=$((i + 1))
  if [[ $want == fg ]]; then
    _e2e_driver host_probe
    want=$(e2e_field "$(tr -d '\r' <"$_e2e_last_out")" foreground)
    [[ $want != "$named" && $want != 0 ]] || e2e_fail "foreground before '$switch' is $want"
  fi
  # shellcheck disable=SC2086  # "/c 1234" is two arguments, as a shell passes it
  e2e_start "dialog$i" scr $switch
  e2e_wait_window --class "#32770"
  e2e_expect_eq "$(e2e_field "$E2E_WINDOW" owner)" "$want" "owner of the dialog for '$switch'"
  e2e_post "$E2E_HWND" WM_COMMAND 2 0  # IDCANCEL
  e2e_wait_exit "dialog$i" 10
  e2e_expect_eq "$E2E_RC" 0 "exit code after Cancel ('$switch')"
  e2e_wait_no_window --timeout 5 --class "#32770"
done
e2e_pass
