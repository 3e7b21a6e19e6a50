#!/usr/bin/env bash
# Whatever way a test ends - failing, stopped by a failing command, timing
# out in a wait, passing with a window left open, or killed outright the way
# ctest kills a test past its time limit - nothing it started survives it:
# not Xvfb, not its wineserver, not Wine's own detached services. A failing
# test exits non-zero, says why, and leaves its screenshots and logs in
# e2e-artifacts; a passing one leaves nothing behind.
source "$(dirname "$0")/lib.sh"

inner=$(dirname "$0")/harness/inner.sh
modes=(fail errexit hang pass killed)

# Status 0 once nothing of what INFO lists runs any more (waits up to 5 s).
all_gone() {
  local info=$1 prefix pid left deadline=$(($(e2e_now_ms) + 5000))
  prefix=$(sed -n 's/^prefix=//p' "$info")
  [[ -n $prefix ]] || e2e_fail "no prefix in $info"
  while :; do
    left=$(_e2e_prefix_pids "$prefix")
    for pid in $(sed -n 's/^\(xvfb\|server\|parent\)=//p' "$info"); do
      ! _e2e_pid_alive "$pid" || left+=" $pid"
    done
    [[ -n ${left// /} ]] || return 0
    (($(e2e_now_ms) < deadline)) || { e2e_log "still running: $left"; return 1; }
    sleep 0.1
  done
}

# ctest stops a test past its TIMEOUT and SIGKILLs it with its descendants,
# so no trap of the test runs.
kill_tree() {
  local pid=$1 child
  kill -STOP "$pid" 2>/dev/null || true
  for child in $(awk -v p="$pid" '$4 == p {print $1}' /proc/[0-9]*/stat 2>/dev/null); do
    kill_tree "$child"
  done
  kill -KILL "$pid" 2>/dev/null || true
}

# All cases at once: each has its own display and prefix.
declare -A inner_pid=()
for mode in "${modes[@]}"; do
  rm -rf "$E2E_BUILD_DIR/e2e-artifacts/harness_inner_$mode"
  E2E_NAME=harness_inner_$mode bash "$inner" "$mode" "$E2E_DIR/$mode.info" \
    </dev/null >"$E2E_DIR/$mode.log" 2>&1 &
  inner_pid[$mode]=$!
done

deadline=$(($(e2e_now_ms) + 60000))
until [[ -f $E2E_DIR/killed.info ]]; do
  _e2e_pid_alive "${inner_pid[killed]}" || e2e_fail "killed: the inner test ended early (see killed.log)"
  (($(e2e_now_ms) < deadline)) || e2e_fail "killed: the inner test did not get going"
  sleep 0.1
done
kill_tree "${inner_pid[killed]}"

for mode in "${modes[@]}"; do
  rc=0
  wait "${inner_pid[$mode]}" || rc=$?
  info=$E2E_DIR/$mode.info
  [[ -f $info ]] || e2e_fail "$mode: the inner test did not get going (see $mode.log)"
  all_gone "$info" || e2e_fail "$mode: processes outlived the test"
  art=$E2E_BUILD_DIR/e2e-artifacts/harness_inner_$mode
  case $mode in
    pass)
      e2e_expect_eq "$rc" 0 "pass: exit code"
      [[ ! -e $art ]] || e2e_fail "pass: artifacts left behind"
      ;;
    killed)
      e2e_expect_eq "$rc" 137 "killed: exit status"
      for ((i = 0; i < 50; i++)); do [[ -f $art/failure.txt ]] && break; sleep 0.1; done
      grep -q 'killed from outside' "$art/failure.txt" 2>/dev/null ||
        e2e_fail "killed: the watchdog kept no artifacts"
      ;;
    *)
      e2e_expect_eq "$rc" 1 "$mode: exit code"
      for f in failure.txt at-failure.png parent.out parent.err xvfb.log; do
        [[ -f $art/$f ]] || e2e_fail "$mode: $f missing from the artifacts"
      done
      ;;
  esac
  [[ ! -e $art/prefix ]] || e2e_fail "$mode: the prefix was kept with the artifacts"
  ! compgen -G "$E2E_BUILD_DIR/e2e/run/harness_inner_$mode.*" >/dev/null ||
    e2e_fail "$mode: run folder left behind"
  [[ ! -e $E2E_BUILD_DIR/e2e/state/harness_inner_$mode.${inner_pid[$mode]} ]] ||
    e2e_fail "$mode: state file left behind"
done

failure() { cat "$E2E_BUILD_DIR/e2e-artifacts/harness_inner_$1/failure.txt"; }
e2e_expect_match "$(failure fail)" 'deliberate failure' "fail: reason"
e2e_expect_match "$(failure errexit)" 'status 1: inner.sh:[0-9]+: grep -q no-such-text /dev/null' \
  "errexit: reason"
e2e_expect_match "$(failure hang)" 'no window \(--class NoSuchWindowClass\) within 2 s' "hang: reason"
grep -q 'deliberate failure' "$E2E_DIR/fail.log" || e2e_fail "fail: the reason did not reach the log"
for mode in "${modes[@]}"; do rm -rf "$E2E_BUILD_DIR/e2e-artifacts/harness_inner_$mode"; done
e2e_pass
