#!/usr/bin/env bash
# Whatever way a test ends - failing, timing out in a wait, passing with a
# window left open, or killed outright the way ctest kills a test past its
# time limit - nothing it started survives it: not Xvfb, not its wineserver,
# not Wine's own detached services. A failing test exits non-zero and leaves
# its screenshots and logs in e2e-artifacts; a passing one leaves nothing.
source "$(dirname "$0")/lib.sh"

inner=$(dirname "$0")/harness/inner.sh

# Status 0 once nothing of what INFO lists runs any more (waits up to 5 s).
all_gone() {
  local info=$1 prefix pid left deadline=$(($(_e2e_now_ms) + 5000))
  prefix=$(sed -n 's/^prefix=//p' "$info")
  [[ -n $prefix ]] || e2e_fail "no prefix in $info"
  while :; do
    left=$(_e2e_prefix_pids "$prefix")
    for pid in $(sed -n 's/^\(xvfb\|server\|parent\)=//p' "$info"); do
      ! _e2e_pid_alive "$pid" || left+=" $pid"
    done
    [[ -n ${left// /} ]] || return 0
    (($(_e2e_now_ms) < deadline)) || { e2e_log "still running: $left"; return 1; }
    sleep 0.1
  done
}

run_inner() {
  local mode=$1
  INNER_NAME=harness_inner_$mode
  INNER_INFO=$E2E_DIR/$mode.info
  INNER_RC=0
  E2E_NAME=$INNER_NAME bash "$inner" "$mode" "$INNER_INFO" \
    </dev/null >"$E2E_DIR/$mode.log" 2>&1 || INNER_RC=$?
  [[ -f $INNER_INFO ]] || e2e_fail "$mode: the inner test did not get going (see $mode.log)"
}

for mode in fail hang; do
  start=$(_e2e_now_ms)
  run_inner "$mode"
  elapsed=$(($(_e2e_now_ms) - start))
  e2e_expect_eq "$INNER_RC" 1 "$mode: exit code"
  all_gone "$INNER_INFO" || e2e_fail "$mode: processes outlived the test"
  art=$E2E_BUILD_DIR/e2e-artifacts/$INNER_NAME
  for f in failure.txt at-failure.png parent.out parent.err xvfb.log; do
    [[ -f $art/$f ]] || e2e_fail "$mode: $f missing from the artifacts"
  done
  [[ ! -e $art/prefix ]] || e2e_fail "$mode: the prefix was kept with the artifacts"
  [[ ! -e $E2E_BUILD_DIR/e2e/run/$INNER_NAME ]] || e2e_fail "$mode: run folder left behind"
  ((elapsed < 30000)) || e2e_fail "$mode: took $elapsed ms"
  rm -rf "$art"
done
grep -q 'deliberate failure' "$E2E_DIR/fail.log" || e2e_fail "fail: the reason was not reported"
grep -q 'no window (--class NoSuchWindowClass) within 2 s' "$E2E_DIR/hang.log" ||
  e2e_fail "hang: the timeout was not reported"

run_inner pass
e2e_expect_eq "$INNER_RC" 0 "pass: exit code"
all_gone "$INNER_INFO" || e2e_fail "pass: processes outlived the test"
[[ ! -e $E2E_BUILD_DIR/e2e/run/$INNER_NAME ]] || e2e_fail "pass: run folder left behind"
[[ ! -e $E2E_BUILD_DIR/e2e-artifacts/$INNER_NAME ]] || e2e_fail "pass: artifacts left behind"

# ctest ends a test past its TIMEOUT by stopping it and SIGKILLing it and its
# descendants, so no trap of the test runs; the watchdog must clean up.
INNER_NAME=harness_inner_killed
INNER_INFO=$E2E_DIR/killed.info
E2E_NAME=$INNER_NAME bash "$inner" killed "$INNER_INFO" </dev/null >"$E2E_DIR/killed.log" 2>&1 &
victim=$!
deadline=$(($(_e2e_now_ms) + 30000))
until [[ -f $INNER_INFO ]]; do
  _e2e_pid_alive "$victim" || e2e_fail "killed: the inner test ended early (see killed.log)"
  (($(_e2e_now_ms) < deadline)) || e2e_fail "killed: the inner test did not get going"
  sleep 0.1
done
descendants() {
  local pid=$1 child
  for child in $(awk -v p="$pid" '$4 == p {print $1}' /proc/[0-9]*/stat 2>/dev/null); do
    descendants "$child"
    echo "$child"
  done
}
kill -STOP "$victim"
tree=$(descendants "$victim")
kill -KILL $tree "$victim" 2>/dev/null || true
wait "$victim" 2>/dev/null || true
all_gone "$INNER_INFO" || e2e_fail "killed: processes outlived a killed test"
rm -rf "$E2E_BUILD_DIR/e2e/run/$INNER_NAME"
e2e_pass
