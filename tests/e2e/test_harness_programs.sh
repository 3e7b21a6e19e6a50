#!/usr/bin/env bash
# What the harness promises about running programs: they start in E2E_CWD
# (or in the folder a call names), the message sender packs names, numbers
# and coordinates the way the receiving window reads them, and a driver given
# a bad command line says so with exit code 2 instead of acting on part of it;
# a program that crashes ends at once with the fault's code, with no crash
# dialog or debugger waiting for someone; and a warm-up (Wine's first program
# in a prefix) that keeps failing is tried again, logged, but never passes.
source "$(dirname "$0")/lib.sh"

windows_path() { local p=${1//\//\\}; printf 'Z:%s\n' "$p"; }

e2e_display 1024x768x24
e2e_screen_info
e2e_expect_eq "$(e2e_field "$E2E_INFO" cwd)" "$(windows_path "$E2E_CWD")" "default working folder"
mkdir -p "$E2E_DIR/other folder"
E2E_CWD="$E2E_DIR/other folder" e2e_screen_info
e2e_expect_eq "$(e2e_field "$E2E_INFO" cwd)" "$(windows_path "$E2E_DIR/other folder")" \
  "working folder named for one call"

e2e_start target parent_window --log-input --size 400x300
e2e_wait_line target '^parent hwnd='
hwnd=$(e2e_field "$E2E_LINE" hwnd)
e2e_post "$hwnd" WM_MOUSEMOVE 0 -5,7          # signed coordinates
e2e_wait_line target '^input WM_MOUSEMOVE x=-5 y=7$' 10
e2e_send "$hwnd" 0x0200 0 300,200              # a message by number
e2e_wait_line target '^input WM_MOUSEMOVE x=300 y=200$' 10
e2e_send "$hwnd" wm_keydown 0x41               # names ignore case
e2e_wait_line target '^input WM_KEYDOWN wparam=65$' 10

e2e_driver send_message 0x7ffffff0 WM_NULL
e2e_expect_eq "$E2E_RC" 1 "send_message to no window"
for args in "send_message" "send_message $hwnd NO_SUCH_MESSAGE" "send_message $hwnd WM_NULL 0 12,x" \
  "send_message $hwnd WM_NULL 1 2 3" "find_window --wait" "find_window --class" \
  "find_window --bogus" "parent_window --size 0x10" "parent_window --exit-code seven"; do
  e2e_driver $args
  e2e_expect_eq "$E2E_RC" 2 "exit code of: $args"
done
e2e_alive target || e2e_fail "the target window's program ended on a bad command"

E2E_TIMEOUT=10 e2e_driver fault
e2e_expect_eq "$E2E_RC" 5 "exit status of a program that faults (0xC0000005)"

# A test whose warm-up program always faults.
mkdir -p "$E2E_DIR/faulty"
cp "$E2E_DRIVERS/fault.exe" "$E2E_DIR/faulty/screen_info.exe"
inner=harness_inner_warmup
rm -rf "$E2E_BUILD_DIR/e2e-artifacts/$inner"
rc=0
E2E_NAME=$inner E2E_DRIVERS=$E2E_DIR/faulty bash -c \
  'source "$1/lib.sh"; e2e_display 640x480x24; e2e_wine; e2e_pass' warmup "$(dirname "$0")" \
  </dev/null >"$E2E_DIR/warmup.log" 2>&1 || rc=$?
e2e_expect_eq "$rc" 1 "exit status of a test whose warm-up always fails"
e2e_expect_eq "$(grep -c "harness: Wine's start-up failed (exit status 5 " "$E2E_DIR/warmup.log")" 2 \
  "warm-up retries logged"
grep -q "FAIL: Wine's first program failed 3 times" "$E2E_DIR/warmup.log" ||
  e2e_fail "the failing warm-up's verdict is missing (see warmup.log)"
[[ -f $E2E_BUILD_DIR/e2e-artifacts/$inner/screen_info.warmup-failed-1.err ]] ||
  e2e_fail "the first failed warm-up's output was not kept"
rm -rf "$E2E_BUILD_DIR/e2e-artifacts/$inner"
e2e_pass
