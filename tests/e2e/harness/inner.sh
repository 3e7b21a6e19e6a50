#!/usr/bin/env bash
# A test that misbehaves on purpose, for test_harness_cleanup.sh.
#   inner.sh fail|errexit|hang|pass|killed INFO_FILE
# Starts a display, Wine and a long-lived window, writes what it started to
# INFO_FILE, then fails, runs a failing command, waits for a window that
# never comes, passes with the window still open, or sleeps until killed.
source "$(dirname "$0")/../lib.sh"

mode=$1
info=$2
e2e_display 800x600x24
e2e_start parent parent_window --title "Left Open"
e2e_wait_window --class GyrewellTestParent
{
  echo "prefix=$WINEPREFIX"
  echo "xvfb=$_e2e_xvfb_pid"
  echo "server=$_e2e_server_pid"
  echo "parent=${E2E_PID[parent]}"
} >"$info.tmp"
mv "$info.tmp" "$info"
case $mode in
  fail) e2e_fail "deliberate failure" ;;
  errexit) grep -q no-such-text /dev/null ;;
  hang) e2e_wait_window --timeout 2 --class NoSuchWindowClass ;;
  pass) e2e_pass ;;
  killed) sleep 60 ;;
esac
e2e_fail "inner.sh: unknown mode $mode"
