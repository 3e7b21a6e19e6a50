#!/usr/bin/env bash
# The harness round trip through the driver programs: a window another
# process created is found by class and by title with the right handle and
# size, a message sent from outside reaches it, and the exit code a Win32
# program ends with arrives as the shell sees it. Programs running in a test's
# prefix leave the shared template untouched.
source "$(dirname "$0")/lib.sh"

e2e_display 1280x800x24
e2e_start parent parent_window --size 200x150 --title "Harness Parent" --exit-code 7
e2e_wait_line parent '^parent hwnd=[0-9]+'
hwnd=$(e2e_field "$E2E_LINE" hwnd)

e2e_wait_window --class gyrewelltestparent          # class names ignore case
e2e_expect_eq "$E2E_HWND" "$hwnd" "handle found by class"
e2e_expect_eq "$(e2e_field "$E2E_WINDOW" client)" 200x150 "client size"
e2e_expect_eq "$(e2e_field "$E2E_WINDOW" visible)" 1 "visible"
e2e_wait_window --title "Harness Parent"
e2e_expect_eq "$E2E_HWND" "$hwnd" "handle found by title"
if e2e_find_window --class GyrewellTestParent --title "harness parent"; then
  e2e_fail "titles must compare exactly, but a lower-case title matched"
fi

e2e_send "$hwnd" WM_NULL
e2e_expect_eq "$E2E_RESULT" 0 "WM_NULL result"
e2e_send "$hwnd" WM_CLOSE
e2e_wait_exit parent 10
e2e_expect_eq "$E2E_RC" 7 "exit code after WM_CLOSE"
e2e_wait_no_window --timeout 5 --class GyrewellTestParent

# -1 is what a bad switch ends with. The shell sees codes modulo 256, except
# that Wine turns a non-zero code with a zero low byte into 1, so a failure
# never reads as success.
for pair in 0:0 255:255 -1:255 256:1 300:44; do
  code=${pair%%:*}
  want=${pair##*:}
  e2e_run "code$want.$code" parent_window --close-after 50 --exit-code "$code"
  e2e_expect_eq "$E2E_RC" "$want" "exit code of ExitProcess($code)"
done

# A parent for "/p": the command it starts gets the handle, and destroying
# the parent is reported once the child has ended.
e2e_run preview parent_window --close-after 500 --run "$(basename "$E2E_DRIVERS/find_window.exe") --child-of %HWND%"
e2e_expect_eq "$E2E_RC" 0 "parent_window --run"
out=$(cat "$(e2e_out preview)")
e2e_expect_match "$out" $'child pid=[0-9]+' "child started"
e2e_expect_match "$out" $'child exit=1' "child's exit code (no child windows found)"
e2e_expect_match "$out" $'parent exit=0' "parent's last line"

# Prefix clones share the template's files through hard links: a program
# that wrote into one of them in place would have changed the template, and
# with it every later test's prefix.
changed=$(find "$E2E_TEMPLATE" -type f -newer "$E2E_TEMPLATE/.gyrewell-template" | head -n 5)
[[ -z $changed ]] || e2e_fail "the prefix template was written to: $changed"
e2e_pass
