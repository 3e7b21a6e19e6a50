#!/usr/bin/env bash
# Switches that show nothing and end with -1 (255 as the shell sees it):
# unknown letters, a tab before the letter, a preview without a usable window,
# and the password change outside the Windows 95/98/Me family. Raw command
# lines (a tab, a quoted program name with a blank in it) are handed to
# CreateProcessA by parent_window, since Wine's launcher would quote them.
source "$(dirname "$0")/lib.sh"

winpath() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

e2e_display 1280x800x24
dead=$((0x7ffe0))  # a handle number that names no window
i=0
for switch in "/x" "/?" "/p" "/p 0" "/p x" "/p:$dead" "/p $dead" "/l $dead" "/a 1234" "/a" "-/ -q"; do
  i=$((i + 1))
  # shellcheck disable=SC2086  # "/p 0" is two arguments, as a shell passes it
  e2e_run "bad$i" scr $switch
  e2e_expect_eq "$E2E_RC" 255 "exit code of '$switch'"
done

scr=$(winpath "$E2E_SCR")
e2e_run tab parent_window --close-after 3000 --run "$scr /"$'\t'"s"
e2e_expect_match "$(cat "$(e2e_out tab)")" $'child exit=4294967295' "exit code with a tab before the letter"

mkdir -p "$E2E_DIR/with blank"
cp "$E2E_SCR" "$E2E_DIR/with blank/Gyrewell.scr"
quoted="\"$(winpath "$E2E_DIR/with blank/Gyrewell.scr")\""
e2e_run quoted_bad parent_window --close-after 3000 --run "$quoted/x"
e2e_expect_match "$(cat "$(e2e_out quoted_bad)")" $'child exit=4294967295' "exit code of a quoted name then /x"

if e2e_find_window --class WindowsScreenSaverClass; then
  e2e_fail "a saver window was left behind: $E2E_WINDOW"
fi

# The quoted name is skipped whole: its blank does not start the tail.
e2e_mouse_move 600 380
e2e_start quoted_saver parent_window --run "$quoted /s"
e2e_wait_window --class WindowsScreenSaverClass --title "Screen Saver"
sleep 0.5
e2e_key space
e2e_wait_no_window --timeout 10 --class WindowsScreenSaverClass
e2e_wait_line quoted_saver '^child exit=' 10
e2e_expect_eq "$E2E_LINE" "child exit=0" "exit code of a quoted name then /s"
e2e_pass
