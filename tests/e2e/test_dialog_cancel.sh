#!/usr/bin/env bash
# Every way out of the configuration dialog other than OK (Cancel, Esc, the
# close box) ends /c with 0 and leaves the settings file exactly as it was,
# whatever was changed in the dialog; /c:HWND makes that window the owner.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialog.sh"

e2e_display 1024x768x24
e2e_wine
mkdir -p "$E2E_CWD"
ini=$E2E_CWD/Gyrewell.ini

# A file with more than the two keys, so that any rewrite would show.
printf '; kept by hand\r\n[Gyrewell]\r\nCHRNUM=150\r\nPTNNUM=1\r\n\r\n[Other]\r\nX=1\r\n' >"$ini"
cp "$ini" "$E2E_DIR/original.ini"

exits=(click:2 esc close)
for way in "${exits[@]}"; do
  name=${way%%:*}
  e2e_start "$name" scr /c
  drive "$name.drive" show click:1045 pos:30 show "$way" gone
  line=$(grep '^dialog ' <<<"$SHOWN" | tail -n1)
  e2e_expect_eq "$(e2e_field "$line" slider)" 30 "slider before $way"
  e2e_expect_eq "$(e2e_field "$line" black)" 1 "black radio before $way"
  e2e_wait_exit "$name"
  e2e_expect_eq "$E2E_RC" 0 "exit code of /c after $way"
  cmp -s "$ini" "$E2E_DIR/original.ini" || e2e_fail "settings file changed by $way: $(cat -A "$ini")"
done

# Cancel with no file creates none.
rm -f "$ini"
e2e_start nofile scr /c
drive nofile.drive click:1045 click:2 gone
e2e_wait_exit nofile
e2e_expect_eq "$E2E_RC" 0 "exit code of /c after Cancel"
[[ ! -e $ini ]] || e2e_fail "Cancel created a settings file"

# /c:HWND: the dialog is owned by that window. parent_window starts the saver
# with its own handle and reports how the child ended.
scr_win="Z:${E2E_SCR//\//\\}"
e2e_start parent parent_window --run "\"$scr_win\" /c:%HWND%"
e2e_wait_line parent '^parent hwnd='
parent=$(e2e_field "$E2E_LINE" hwnd)
drive owned.drive show click:2 gone
e2e_expect_eq "$(e2e_field "$(grep '^dialog ' <<<"$SHOWN")" owner)" "$parent" "owner of the dialog for /c:$parent"
e2e_wait_line parent '^child exit='
e2e_expect_eq "$(e2e_field "$E2E_LINE" exit)" 0 "exit code of /c:HWND after Cancel"
e2e_post "$parent" WM_CLOSE
e2e_wait_exit parent

e2e_pass
