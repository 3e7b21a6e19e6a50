# lib.sh - end-to-end test harness: Gyrewell.scr and driver programs under Wine
#
# A test is a bash script tests/e2e/test_<name>.sh; ctest runs each one in
# build/windows (tests/e2e/CMakeLists.txt registers it, nothing to add). It
# sources this file, which turns on `set -euo pipefail`, gives the test a run
# folder and ends every process the test started when the script exits, for
# whatever reason. A script that fails at any point exits non-zero.
#
#   #!/usr/bin/env bash
#   source "$(dirname "$0")/lib.sh"
#   e2e_display 1280x800x24            # private Xvfb; DISPLAY, E2E_SCREEN_W/H/D
#   e2e_test_picture desk.png          # four coloured quadrants, screen-sized
#   e2e_set_desktop desk.png           # make it the root picture (checked)
#   e2e_wine                           # private prefix + warm wineserver
#   e2e_start saver scr /s             # background: "scr" is Gyrewell.scr
#   e2e_wait_window --class WindowsScreenSaverClass --title "Screen Saver"
#   echo "$E2E_HWND $(e2e_field "$E2E_WINDOW" rect)"
#   e2e_screenshot running             # -> $E2E_SHOT ($E2E_DIR/running.png)
#   e2e_expect_pixel "$E2E_SHOT" 10 10 ff0000
#   e2e_mouse_nudge 50 0               # or e2e_mouse_move X Y, e2e_key a, e2e_click
#   e2e_wait_exit saver                # -> $E2E_RC, the exit code modulo 256
#   e2e_expect_eq "$E2E_RC" 0 "exit code of /s"
#   e2e_pass                           # optional: prints PASS and exits 0
#
# Running programs (all under Wine, stdin </dev/null, stdout and stderr into
# $E2E_DIR/<name>.out and .err, never through a pipe):
#   e2e_start NAME PROG [ARGS...]   start in the background; pid in E2E_PID[NAME]
#   e2e_run NAME PROG [ARGS...]     start and wait (E2E_TIMEOUT s, default 30);
#                                   sets E2E_RC; a timeout fails the test
#   e2e_wait_exit NAME [SECONDS]    wait for a started program; sets E2E_RC
#   e2e_alive NAME                  status 0 while it runs
#   e2e_kill NAME                   end it now (by pid)
#   e2e_out NAME / e2e_err NAME     paths of its stdout / stderr files
#   e2e_wait_line NAME REGEX [S]    wait until its stdout has a matching line;
#                                   the line lands in E2E_LINE
#   PROG is "scr" (Gyrewell.scr), a driver name from tests/drivers (without
#   .exe), a Wine builtin ("reg") or a path. Programs start in $E2E_CWD
#   ($E2E_DIR/cwd, where ".\Gyrewell.ini" lives); prefix a call with
#   E2E_CWD=/other/dir, or with LC_ALL=... for one program's environment.
#
# Windows and messages (through the driver programs, see tests/drivers):
#   e2e_wait_window [--timeout S] FIND_ARGS...   fail unless a window appears
#   e2e_find_window FIND_ARGS...                 status 0 if one exists now
#   e2e_wait_shown [--timeout S] FIND_ARGS...    as e2e_wait_window, then until
#                                                it is visible (style read after)
#   e2e_wait_no_window [--timeout S] FIND_ARGS...  fail while one remains
#     FIND_ARGS are find_window's: --class C --title T --child-of HWND --id N.
#     The first match is in E2E_WINDOW (a "key=value" line), its handle in
#     E2E_HWND; every match is in E2E_WINDOWS.
#   e2e_send HWND MESSAGE [WPARAM [LPARAM]]   SendMessage; result in E2E_RESULT
#   e2e_post HWND MESSAGE [WPARAM [LPARAM]]   PostMessage
#   e2e_field LINE KEY              value of key=value or key="value" in LINE
#   e2e_screen_info                 what Win32 sees: E2E_INFO (width= height=
#                                   bpp= virtual= cursor= desktop=)
#   e2e_set_version win98 [EXE]     report the 95/98/Me family (to all
#                                   programs, or to EXE only)
#   e2e_monitors WxH+X+Y...         several monitors on the one Xvfb screen
#                                   (call after e2e_display and e2e_wine; the
#                                   first is the primary); Wine then reports
#                                   them, checked with screen_info
#
# Display, input and pictures (X tools on the test's own display):
#   e2e_mouse_move X Y | e2e_mouse_nudge DX DY | e2e_click [BUTTON] | e2e_key KEY...
#   e2e_screenshot NAME             whole screen to $E2E_DIR/NAME.png (E2E_SHOT)
#   e2e_shots NAME [N]              N screenshots 0.3 s apart (default 3), in SHOTS
#   e2e_pixel FILE X Y              prints the pixel as rrggbb
#   e2e_expect_pixel FILE X Y RRGGBB [TOLERANCE]   per channel, default 0
#   e2e_test_picture FILE [W H]     red/green/blue/white quadrants
#   e2e_set_desktop FILE            root picture (Wine's desktop shows it)
#   e2e_probe ARGS...               measure pictures with the native
#                                   picture_probe (tools/picture_probe.cpp,
#                                   built by the native preset); its output
#                                   line in E2E_PROBE
#
# Locale: e2e_locale ja_JP (or en_US) makes (once per build tree) and selects
# that locale for the programs started after it (ANSI code page 932 or 1252);
# e2e_japanese_locale is e2e_locale ja_JP.
#
# Checks: e2e_expect_eq ACTUAL EXPECTED WHAT, e2e_expect_match TEXT REGEX WHAT,
# e2e_fail MESSAGE, e2e_log MESSAGE. A command that fails outside a condition
# ends the test too, with the command and its line in the report.
# Also: e2e_driver DRIVER [ARGS...] runs any driver to completion (E2E_RC,
# stdout file in E2E_DRIVER_OUT); e2e_now_ms is a millisecond clock.
#
# Files and cleanup. Everything of a test lives in build/windows/e2e/run/
# NAME.PID/ (prefix clone, cwd, screenshots, .out/.err). On success it is
# removed (E2E_KEEP=1 keeps it); on failure it moves to
# build/windows/e2e-artifacts/NAME/ (without the prefix; NAME.2/, NAME.3/ ...
# when an earlier failure's folder is still there, which is never
# overwritten) with failure.txt, a last screenshot (at-failure.png), and the
# tail of every stderr file is printed for ctest's log, with the folder's
# name ("artifacts in ..."). On exit, error, SIGINT or SIGTERM the EXIT trap
# ends the started programs (TERM, then KILL after 2 s), Wine's own services
# of the test's private prefix, the wineserver and Xvfb, all by pid.
# Wine's services detach from the test, so a watchdog outside the test's
# process tree does the same if the test is killed outright (ctest's TIMEOUT,
# 120 s, kills with SIGKILL) and keeps its artifacts; see "Leftovers" below.
# Windows are unmanaged (no window manager runs; a managed window takes 2 s to
# close).
#
# The Wine prefix template (build/windows/e2e/prefix-template, ~15 s to make)
# is created once per build tree, by the ctest fixture e2e_prefix_template or
# by the first test that needs it (under a lock). Each test gets a clone made
# of hard links in 0.1 s, with the files Wine rewrites in place (registry,
# .ini) copied for real, so tests never see each other's changes and can run
# in parallel (ctest -j). `bash tests/e2e/lib.sh --template` makes it by hand.
# Its registry (one `reg import` after wineboot) sets two things: windows are
# unmanaged (HKCU\Software\Wine\X11 Driver, Managed=N), and no Wine process
# ever waits for a person or a debugger: AeDebug's Debugger is empty and
# HKCU\Software\Wine\WineDbg ShowCrashDialog=0, so a program that crashes
# ends at once with the fault's code (a page fault: 0xC0000005, status 5)
# instead of showing winedbg's crash dialog until the test runs out of time.
# Only Wine's own failures are ever retried: the warm-up (see e2e_wine), and
# a window look-up that Wine ended before find_window could answer; never the
# program under test.

set -euo pipefail

E2E_SOURCE_DIR=${GYREWELL_SOURCE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
E2E_BUILD_DIR=${GYREWELL_BUILD_DIR:-$E2E_SOURCE_DIR/build/windows}
E2E_SCR=${E2E_SCR:-$E2E_BUILD_DIR/Gyrewell.scr}
E2E_DRIVERS=${E2E_DRIVERS:-$E2E_BUILD_DIR/tests/drivers}
E2E_NATIVE_TOOLS=${E2E_NATIVE_TOOLS:-$E2E_SOURCE_DIR/build/native/tools}
E2E_TIMEOUT=${E2E_TIMEOUT:-30}
E2E_WINE_BIN=/usr/lib/wine/wine64
E2E_WINESERVER_BIN=/usr/lib/wine/wineserver64
E2E_TEMPLATE=$E2E_BUILD_DIR/e2e/prefix-template
if [[ "${BASH_SOURCE[0]}" == "$0" ]]; then
  E2E_NAME=${E2E_NAME:-prefix_template}
else
  E2E_NAME=${E2E_NAME:-$(basename "$0" .sh)}
fi
# The shell's pid keeps two runs of one test (two ctest runs at once) apart.
E2E_DIR=$E2E_BUILD_DIR/e2e/run/$E2E_NAME.$$
E2E_CWD=${E2E_CWD:-$E2E_DIR/cwd}
E2E_ARTIFACTS=$E2E_BUILD_DIR/e2e-artifacts/$E2E_NAME

declare -A E2E_PID=()
E2E_RC=
E2E_LINE=
E2E_WINDOW=
E2E_WINDOWS=
E2E_HWND=
E2E_RESULT=
E2E_SHOT=
E2E_INFO=
E2E_SCREEN_W=
E2E_SCREEN_H=
E2E_SCREEN_D=

_e2e_names=()        # every started program, in start order
_e2e_xvfb_pid=
_e2e_server_pid=
_e2e_prefix=
_e2e_failed=0
_e2e_seq=0

# Tests never draw on the user's screen: only e2e_display (or e2e_use_display
# in scripts/run) chooses a display.
unset DISPLAY WINEPREFIX
# Wine's own errors (its err: lines) stay on, in each program's .err file:
# when Wine ends a program before it can answer, that is where it says why.
export WINEDEBUG=fixme-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d"

e2e_log() { printf '[%s] %s\n' "$E2E_NAME" "$*" >&2; }

e2e_fail() {
  _e2e_failed=1
  printf '[%s] FAIL: %s\n' "$E2E_NAME" "$*" >&2
  mkdir -p "$E2E_DIR"
  printf '%s\n' "$*" >>"$E2E_DIR/failure.txt"
  exit 1
}

# set -e ends a test at the first failing command; say which one and where.
_e2e_on_err() {
  local status=$1 cmd=$2 where="" i
  ((BASH_SUBSHELL == 0)) || return 0   # the caller reports it
  for ((i = ${#BASH_SOURCE[@]} - 1; i >= 1; i--)); do
    where+=" ${BASH_SOURCE[i]##*/}:${BASH_LINENO[i - 1]}"
  done
  e2e_fail "command failed with status $status:$where: $cmd"
}

e2e_pass() {
  printf '[%s] PASS\n' "$E2E_NAME" >&2
  exit 0
}

e2e_now_ms() {
  local t=${EPOCHREALTIME//[.,]/}
  echo $((10#$t / 1000))
}
_e2e_now_ms() { e2e_now_ms; }

# Status 0 while PID is a live process (a zombie counts as ended).
_e2e_pid_alive() {
  local pid=$1 state
  [[ -n $pid ]] || return 1
  kill -0 "$pid" 2>/dev/null || return 1
  state=$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null) || return 1
  [[ $state != Z ]]
}

# Waits up to SECONDS (may be fractional: "0.5") for PID to end; status 0 if it did.
_e2e_wait_pid() {
  local pid=$1 ms
  ms=$(awk -v s="$2" 'BEGIN { printf "%d", s * 1000 }')
  local deadline=$(($(_e2e_now_ms) + ms))
  while _e2e_pid_alive "$pid"; do
    (($(_e2e_now_ms) < deadline)) || return 1
    sleep 0.05
  done
  return 0
}

# TERM, then KILL after GRACE seconds; reaps it if it is our child.
_e2e_end_pid() {
  local pid=$1 grace=${2:-2}
  if _e2e_pid_alive "$pid"; then
    kill -TERM "$pid" 2>/dev/null || true
    if ! _e2e_wait_pid "$pid" "$grace"; then
      kill -KILL "$pid" 2>/dev/null || true
      _e2e_wait_pid "$pid" 2 || true
    fi
  fi
  wait "$pid" 2>/dev/null || true
}

# ---------------------------------------------------------------------------
# Leftovers. Every process the harness starts is a child of the test, but
# Wine's services (explorer, services, winedevice...) detach from their parent
# and outlive a wineserver that was killed, and ctest kills a test that ran
# out of time with SIGKILL: no trap runs. So the harness notes each pid it
# starts (with its start time, against pid reuse) and each prefix it uses in
# a state file, and a watchdog outside the test's process tree ends them when
# the test shell is gone; the normal cleanup sweeps the same way.

_e2e_state=$E2E_BUILD_DIR/e2e/state/$E2E_NAME.$$

_e2e_start_time() { awk '{print $22}' "/proc/$1/stat" 2>/dev/null; }

_e2e_track() {
  printf 'pid %s %s\n' "$1" "$(_e2e_start_time "$1")" >>"$_e2e_state"
}

_e2e_track_prefix() { printf 'prefix %s\n' "$1" >>"$_e2e_state"; }

# Pids of the processes that run with WINEPREFIX=PATH in their environment
# (the one they were started with: later exports of a shell do not show).
_e2e_prefix_pids() {
  env -u WINEPREFIX grep -lzxF -- "WINEPREFIX=$1" /proc/[0-9]*/environ 2>/dev/null |
    sed -n 's|^/proc/\([0-9]*\)/environ$|\1|p' || true
}

# Kills (SIGKILL) what the state file lists that still runs; prints what it hit.
_e2e_sweep() {
  local state=$1 kind a b pid hit=()
  [[ -f $state ]] || return 0
  while read -r kind a b; do
    case $kind in
      pid)
        if _e2e_pid_alive "$a" && [[ $(_e2e_start_time "$a") == "$b" ]]; then
          kill -KILL "$a" 2>/dev/null && hit+=("$a")
        fi
        ;;
      prefix)
        for pid in $(_e2e_prefix_pids "$a"); do
          [[ $pid != "$$" ]] || continue
          kill -KILL "$pid" 2>/dev/null && hit+=("$pid")
        done
        ;;
    esac
  done <"$state"
  ((${#hit[@]} == 0)) || echo "${hit[*]}"
}

# The run folder, without the prefix, becomes the test's artifacts: in
# e2e-artifacts/NAME, or, when an earlier failure's folder is there, in
# NAME.2, NAME.3, ...: the evidence of every failure survives the runs after
# it. E2E_ARTIFACTS names the folder used.
_e2e_keep_artifacts() {
  [[ -d $E2E_DIR ]] || return 0
  rm -rf "$E2E_DIR/prefix"
  mkdir -p "$(dirname "$E2E_ARTIFACTS")"
  local base=$E2E_ARTIFACTS n=1
  # mv -T refuses a target that is a folder with something in it, so two
  # failures at once cannot land in one folder.
  until mv -T "$E2E_DIR" "$E2E_ARTIFACTS" 2>/dev/null; do
    [[ -d $E2E_DIR ]] || return 0
    n=$((n + 1))
    E2E_ARTIFACTS=$base.$n
    ((n < 10000)) || return 0
  done
}

_e2e_watchdog() {
  local shell_pid=$1 state=$2
  while _e2e_pid_alive "$shell_pid"; do sleep 0.5; done
  [[ -f $state ]] || return 0   # the test cleaned up after itself
  local hit
  hit=$(_e2e_sweep "$state")
  if [[ -d $E2E_DIR ]]; then
    echo "the test was killed from outside (a ctest TIMEOUT?) before it ended" >>"$E2E_DIR/failure.txt"
    _e2e_keep_artifacts
  fi
  printf '%s %s (pid %s) was killed; ended: %s; artifacts in %s\n' "$(date -u +%T)" "$E2E_NAME" "$shell_pid" \
    "${hit:-nothing}" "$E2E_ARTIFACTS" >>"$E2E_BUILD_DIR/e2e/state/watchdog.log"
  rm -f "$state"
}

_e2e_start_watchdog() {
  mkdir -p "$(dirname "$_e2e_state")"
  : >"$_e2e_state"
  # Started from a subshell that ends at once, it belongs to init, not to the
  # test, and has no hold on ctest's output pipes.
  (
    trap - EXIT INT TERM ERR
    set +eE
    _e2e_watchdog "$$" "$_e2e_state" </dev/null >/dev/null 2>&1 &
  )
}

# ---------------------------------------------------------------------------
# Display

e2e_display() {
  local geometry=${1:-1280x800x24}
  [[ $geometry =~ ^([0-9]+)x([0-9]+)x([0-9]+)$ ]] || e2e_fail "e2e_display: bad geometry $geometry"
  [[ -z $_e2e_xvfb_pid ]] || e2e_fail "e2e_display: this test already has a display"
  mkdir -p "$E2E_DIR"
  local fdfile=$E2E_DIR/xvfb.display
  : >"$fdfile"
  # -displayfd lets Xvfb pick a free display itself and says so once it
  # accepts connections; -noreset keeps the root picture when the last
  # client leaves.
  Xvfb -screen 0 "$geometry" -nolisten tcp -noreset -displayfd 3 \
    3>"$fdfile" </dev/null >"$E2E_DIR/xvfb.log" 2>&1 &
  _e2e_xvfb_pid=$!
  _e2e_track "$_e2e_xvfb_pid"
  disown "$_e2e_xvfb_pid"   # no "Killed" notices from bash; still our child
  local deadline=$(($(_e2e_now_ms) + 30000))
  until grep -q '^[0-9][0-9]*$' "$fdfile" 2>/dev/null; do
    _e2e_pid_alive "$_e2e_xvfb_pid" || e2e_fail "Xvfb ended at start (see xvfb.log)"
    (($(_e2e_now_ms) < deadline)) || e2e_fail "Xvfb did not start within 30 s"
    sleep 0.05
  done
  export DISPLAY=":$(head -n1 "$fdfile")"
  E2E_SCREEN_W=${BASH_REMATCH[1]}
  E2E_SCREEN_H=${BASH_REMATCH[2]}
  E2E_SCREEN_D=${BASH_REMATCH[3]}
}

# Uses a display that already exists (scripts/run on the user's screen).
e2e_use_display() {
  export DISPLAY=$1
  local info dims
  info=$(timeout 10 xdpyinfo -display "$DISPLAY") || e2e_fail "cannot reach display $DISPLAY"
  dims=$(awk '/dimensions:/ {print $2; exit}' <<<"$info")
  E2E_SCREEN_W=${dims%x*}
  E2E_SCREEN_H=${dims#*x}
  E2E_SCREEN_D=$(awk '/depth of root window:/ {print $5; exit}' <<<"$info")
}

_e2e_need_display() {
  [[ -n ${DISPLAY:-} ]] || e2e_display
}

# ---------------------------------------------------------------------------
# Wine prefix and wineserver

# Every Wine program runs with address-space randomisation off. Debian's
# wine64 comes without Wine's preloader, which would otherwise reserve the
# fixed addresses Wine needs before anything else is mapped; with
# randomisation one start in a few hundred found its shared user data's place
# taken and ended at once with status 1 ("err:virtual:virtual_alloc_first_teb
# wine: failed to map the shared user data: c0000018"), seen by the tests as
# a program that printed nothing, or a window that never came.
_e2e_wine_exec() { exec setarch "$(uname -m)" -R "$E2E_WINE_BIN" "$@"; }

_e2e_wine_version() { "$E2E_WINE_BIN" --version 2>/dev/null || echo unknown; }

# Makes the template once per build tree; safe to call from parallel tests.
e2e_ensure_template() {
  local stamp=$E2E_TEMPLATE/.gyrewell-template version
  # Bump the layout number whenever the template's making changes.
  version="$(_e2e_wine_version) layout 3"
  mkdir -p "$E2E_BUILD_DIR/e2e"
  exec {lockfd}>"$E2E_BUILD_DIR/e2e/template.lock"
  flock -w 300 "$lockfd" || e2e_fail "waited 300 s for the template lock"
  if [[ -f $stamp && $(cat "$stamp") == "$version" ]]; then
    exec {lockfd}>&-
    return 0
  fi
  _e2e_need_display
  e2e_log "making the Wine prefix template (once per build tree)"
  local tmp=$E2E_TEMPLATE.tmp
  rm -rf "$tmp" "$E2E_TEMPLATE"
  _e2e_track_prefix "$tmp"
  mkdir -p "$tmp"
  local server_pid rc=0
  # A short persistence keeps the server up between the two steps; it then
  # ends by itself, which is when the registry reaches the disk.
  WINEPREFIX=$tmp "$E2E_WINESERVER_BIN" -f -p2 </dev/null \
    >"$E2E_DIR/template-server.out" 2>"$E2E_DIR/template-server.err" &
  server_pid=$!
  _e2e_track "$server_pid"
  E2E_TIMEOUT=180 WINEPREFIX=$tmp _e2e_template_step boot wineboot -i
  # Without a window manager, destroying a managed window waits 2 s for a
  # window-manager reply that never comes. Unmanaged windows look the same
  # on a bare X server and close at once. And a program that crashes must
  # end at once with the fault's code: by default Wine starts winedbg, which
  # shows a crash dialog on the test's display and waits for a click that
  # never comes. An empty Debugger starts none (kernelbase then ends the
  # process with the exception code); ShowCrashDialog=0 keeps winedbg quiet
  # should anything start it all the same.
  local settings=$E2E_DIR/template-settings.reg
  printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
    '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' \
    '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' \
    '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]' '"Debugger"=""' \
    >"$settings"
  E2E_TIMEOUT=60 WINEPREFIX=$tmp _e2e_template_step settings reg import "Z:${settings//\//\\}"
  if ! _e2e_wait_pid "$server_pid" 60; then
    WINEPREFIX=$tmp timeout 10 "$E2E_WINESERVER_BIN" -k </dev/null >/dev/null 2>&1 || true
    _e2e_end_pid "$server_pid"
  fi
  wait "$server_pid" 2>/dev/null || rc=$?
  [[ -f $tmp/system.reg ]] || e2e_fail "wineboot made no registry (see template-*.err)"
  grep -q '"Managed"="N"' "$tmp/user.reg" || e2e_fail "the template's registry lacks Managed=N (server rc $rc)"
  grep -q '"ShowCrashDialog"=dword:00000000' "$tmp/user.reg" && grep -q '^"Debugger"=""' "$tmp/system.reg" ||
    e2e_fail "the template's registry still lets a crash wait for a debugger (server rc $rc)"
  printf '%s\n' "$version" >"$tmp/.gyrewell-template"
  mv "$tmp" "$E2E_TEMPLATE"
  exec {lockfd}>&-
}

# One Wine command of the template's making, with the template's own server.
_e2e_template_step() {
  local step=$1 pid rc=0
  shift
  _e2e_wine_exec "$@" </dev/null >"$E2E_DIR/template-$step.out" 2>"$E2E_DIR/template-$step.err" &
  pid=$!
  _e2e_track "$pid"
  if ! _e2e_wait_pid "$pid" "$E2E_TIMEOUT"; then
    _e2e_end_pid "$pid"
    e2e_fail "template step '$*' did not finish within $E2E_TIMEOUT s"
  fi
  wait "$pid" || rc=$?
  ((rc == 0)) || e2e_fail "template step '$*' failed with $rc (see template-$step.err)"
}

# Clones the template into this test's run folder and starts a wineserver
# for it that stays up until cleanup, so that every Wine start is quick.
# Exports WINEPREFIX.
#
# The first program of a prefix also starts Wine's services and desktop,
# which on a busy machine takes many seconds: e2e_wine does that itself (the
# warm-up: screen_info), with a time limit of its own, so that the test's own
# waits measure only the test. Now and then Wine itself fails there (seen: a
# page fault at address 0 inside Wine, in a driver that only prints the screen
# size). That is Wine's start-up, not the test: the warm-up then starts over,
# with a fresh prefix clone and wineserver, up to E2E_WARMUP_TRIES times
# (default 3), each retry logged. Nothing after the warm-up is ever retried.
E2E_WARMUP_TRIES=${E2E_WARMUP_TRIES:-3}
E2E_WARMUP_TIMEOUT=${E2E_WARMUP_TIMEOUT:-30}

e2e_wine() {
  [[ -z $_e2e_server_pid ]] || return 0
  _e2e_need_display
  e2e_ensure_template
  _e2e_prefix=$E2E_DIR/prefix
  _e2e_track_prefix "$_e2e_prefix"
  export WINEPREFIX=$_e2e_prefix
  local try why
  for ((try = 1; ; try++)); do
    _e2e_clone_prefix
    _e2e_start_server
    [[ -f $E2E_DRIVERS/screen_info.exe ]] || return 0
    why=$(_e2e_warm_up) && return 0
    ((try < E2E_WARMUP_TRIES)) || e2e_fail "Wine's first program failed $try times; last: $why"
    e2e_log "harness: Wine's start-up failed ($why); warm-up $((try + 1)) of $E2E_WARMUP_TRIES with a fresh wineserver"
    local f
    for f in "$E2E_DIR"/screen_info.warmup.*; do mv "$f" "$E2E_DIR/screen_info.warmup-failed-$try.${f##*.}"; done
    _e2e_stop_wine
  done
}

# Runs the warm-up program; on failure prints why and returns 1.
_e2e_warm_up() {
  local pid rc=0 start=$(_e2e_now_ms)
  _e2e_wine_exec "$E2E_DRIVERS/screen_info.exe" </dev/null \
    >"$E2E_DIR/screen_info.warmup.out" 2>"$E2E_DIR/screen_info.warmup.err" &
  pid=$!
  _e2e_track "$pid"
  if ! _e2e_wait_pid "$pid" "$E2E_WARMUP_TIMEOUT"; then
    _e2e_end_pid "$pid" 2
    echo "no exit within $E2E_WARMUP_TIMEOUT s"
    return 1
  fi
  wait "$pid" || rc=$?
  if ((rc != 0)); then
    echo "exit status $rc after $(($(_e2e_now_ms) - start)) ms: $(head -c 200 "$E2E_DIR/screen_info.warmup.err" | tr '\n' ' ')"
    return 1
  fi
}

_e2e_clone_prefix() {
  rm -rf "$_e2e_prefix"
  if ! cp -al "$E2E_TEMPLATE" "$_e2e_prefix" 2>/dev/null; then
    rm -rf "$_e2e_prefix"
    cp -a "$E2E_TEMPLATE" "$_e2e_prefix"
  fi
  # Hard links share contents with the template: replace every file Wine
  # may rewrite in place by a copy of its own.
  local f
  while IFS= read -r -d '' f; do
    cp --remove-destination "$E2E_TEMPLATE/${f#"$_e2e_prefix"/}" "$f"
  done < <(find "$_e2e_prefix" -maxdepth 1 -type f -print0;
           find "$_e2e_prefix/drive_c" -type f \( -iname '*.ini' -o -iname '*.reg' \
             -o -iname '*.log' -o -iname '*.dat' \) -print0)
}

_e2e_start_server() {
  "$E2E_WINESERVER_BIN" -f -p </dev/null >>"$E2E_DIR/wineserver.out" 2>>"$E2E_DIR/wineserver.err" &
  _e2e_server_pid=$!
  _e2e_track "$_e2e_server_pid"
  disown "$_e2e_server_pid"
  # Ready once it listens on its socket.
  local deadline=$(($(_e2e_now_ms) + 30000))
  until ls -l "/proc/$_e2e_server_pid/fd" 2>/dev/null | grep -q 'socket:'; do
    _e2e_pid_alive "$_e2e_server_pid" || e2e_fail "wineserver ended at start (see wineserver.err)"
    (($(_e2e_now_ms) < deadline)) || e2e_fail "wineserver did not start within 30 s"
    sleep 0.05
  done
}

# Ends every process of the prefix and its wineserver (cleanup does the same).
_e2e_stop_wine() {
  local pid
  for pid in $(_e2e_prefix_pids "$_e2e_prefix"); do
    [[ $pid != "$$" ]] || continue
    kill -KILL "$pid" 2>/dev/null || true
  done
  if [[ -n $_e2e_server_pid ]]; then
    _e2e_end_pid "$_e2e_server_pid" 2
    local sdir
    if sdir=$(_e2e_server_dir); then rm -rf "$sdir"; fi
    _e2e_server_pid=
  fi
}

# The wineserver's socket folder for our prefix, named after its device and inode.
_e2e_server_dir() {
  local tmpname dev ino
  [[ -n $_e2e_prefix && -d $_e2e_prefix ]] || return 1
  dev=$(stat -c '%D' "$_e2e_prefix") || return 1
  ino=$(stat -c '%i' "$_e2e_prefix") || return 1
  if [[ -f $_e2e_prefix/wineserver ]]; then
    tmpname=$(cat "$_e2e_prefix/wineserver")
    printf '/tmp/%s/server-%x-%x\n' "$tmpname" "0x$dev" "$ino"
  else
    printf '/tmp/.wine-%d/server-%x-%x\n' "$(id -u)" "0x$dev" "$ino"
  fi
}

# ---------------------------------------------------------------------------
# Programs

_e2e_resolve() {
  local prog=$1
  case $prog in
    scr) echo "$E2E_SCR" ;;
    */*) echo "$prog" ;;
    *)
      if [[ -f $E2E_DRIVERS/$prog.exe ]]; then
        echo "$E2E_DRIVERS/$prog.exe"
      else
        echo "$prog"
      fi
      ;;
  esac
}

e2e_out() { echo "$E2E_DIR/$1.out"; }
e2e_err() { echo "$E2E_DIR/$1.err"; }

e2e_start() {
  (($# >= 2)) || e2e_fail "usage: e2e_start NAME PROG [ARGS...]"
  local name=$1 exe
  shift
  [[ -z ${E2E_PID[$name]:-} ]] || e2e_fail "e2e_start: a program named $name was already started"
  exe=$(_e2e_resolve "$1")
  shift
  case $exe in
    */*) [[ -f $exe ]] || e2e_fail "e2e_start: $exe does not exist (built?)" ;;
  esac
  e2e_wine
  mkdir -p "$E2E_CWD"
  (cd "$E2E_CWD" && _e2e_wine_exec "$exe" "$@") \
    </dev/null >"$E2E_DIR/$name.out" 2>"$E2E_DIR/$name.err" &
  E2E_PID[$name]=$!
  _e2e_track "${E2E_PID[$name]}"
  _e2e_names+=("$name")
}

e2e_alive() { _e2e_pid_alive "${E2E_PID[$1]:-}"; }

e2e_wait_exit() {
  local name=$1 secs=${2:-$E2E_TIMEOUT} pid
  pid=${E2E_PID[$name]:-}
  [[ -n $pid ]] || e2e_fail "e2e_wait_exit: nothing named $name was started"
  _e2e_wait_pid "$pid" "$secs" || e2e_fail "$name did not exit within $secs s"
  E2E_RC=0
  wait "$pid" || E2E_RC=$?
}

e2e_run() {
  e2e_start "$@"
  e2e_wait_exit "$1"
}

e2e_kill() {
  local pid=${E2E_PID[$1]:-}
  [[ -n $pid ]] || e2e_fail "e2e_kill: nothing named $1 was started"
  _e2e_end_pid "$pid" 2
}

e2e_wait_line() {
  local name=$1 regex=$2 secs=${3:-$E2E_TIMEOUT}
  local file=$E2E_DIR/$name.out
  local deadline=$(($(_e2e_now_ms) + ${secs%.*} * 1000))
  while :; do
    E2E_LINE=$(tr -d '\r' 2>/dev/null <"$file" | grep -E -m1 -- "$regex" || true)
    [[ -z $E2E_LINE ]] || return 0
    if (($(_e2e_now_ms) >= deadline)); then
      e2e_fail "no line matching /$regex/ in $name.out within $secs s"
    fi
    sleep 0.05
  done
}

# Runs a driver to completion under a fresh name; leaves its rc in E2E_RC and
# its output file's path in _e2e_last_out.
_e2e_driver() {
  local driver=$1
  shift
  _e2e_seq=$((_e2e_seq + 1))
  local name=$driver.$_e2e_seq
  e2e_run "$name" "$driver" "$@"
  _e2e_last_out=$E2E_DIR/$name.out
}

# Runs a driver program to completion: rc in E2E_RC, stdout file in E2E_DRIVER_OUT.
e2e_driver() {
  _e2e_driver "$@"
  E2E_DRIVER_OUT=$_e2e_last_out
}

# ---------------------------------------------------------------------------
# Windows and messages

e2e_field() {
  local line=$1 key=$2
  if [[ $line =~ (^|[[:space:]])$key=\"([^\"]*)\" ]]; then
    printf '%s\n' "${BASH_REMATCH[2]}"
  elif [[ $line =~ (^|[[:space:]])$key=([^[:space:]]*) ]]; then
    printf '%s\n' "${BASH_REMATCH[2]}"
  else
    return 1
  fi
}

_e2e_take_windows() {
  E2E_WINDOWS=$(tr -d '\r' <"$_e2e_last_out" | grep '^window ' || true)
  E2E_WINDOW=$(head -n1 <<<"$E2E_WINDOWS")
  E2E_HWND=$(e2e_field "$E2E_WINDOW" hwnd || true)
}

# Status 0 when the last find_window answered: found (0), or said it gave
# up or that the parent is gone (1). A status 1 with neither is Wine ending
# the finder before it could answer.
_e2e_find_answered() {
  ((E2E_RC != 1)) ||
    grep -q '^find_window: gave up after' "${_e2e_last_out%.out}.err" ||
    grep -q '^error=' "$_e2e_last_out"
}

_e2e_log_unanswered() {
  e2e_log "harness: find_window $* ended with status 1 without an answer; it said: '$(tr '\r\n' '  ' <"${_e2e_last_out%.out}.err")'; asking again"
}

e2e_find_window() {
  local try
  for try in 1 2 3; do
    _e2e_driver find_window "$@"
    _e2e_find_answered && break
    _e2e_log_unanswered "$@"
  done
  _e2e_take_windows
  [[ $E2E_RC -eq 0 ]]
}

# Runs find_window --wait for up to SECS seconds. Its "not found" is an
# answer only when it says so ("gave up after N ms", timed by the performance
# counter) or names a missing parent: that answer is final. A status 1 with
# neither means Wine ended the finder before it could answer (as the start
# failure _e2e_wine_exec now prevents did, as "no window" long before the
# wait was over); the
# finder, not the program under test, is then asked again for the time left,
# and the log keeps what it printed, so that the cause shows.
_e2e_find_for() {   # SECS FIND_ARGS...
  local secs=${1%.*} start now left
  shift
  start=$(e2e_now_ms)
  left=$((secs * 1000))
  while :; do
    E2E_TIMEOUT=$((left / 1000 + 10)) _e2e_driver find_window --wait "$left" "$@"
    _e2e_find_answered && break
    _e2e_log_unanswered "$@"
    now=$(e2e_now_ms)
    left=$((secs * 1000 - (now - start)))
    ((left > 500)) || break
  done
  _e2e_take_windows
}

e2e_wait_window() {
  local secs=$E2E_TIMEOUT
  if [[ ${1:-} == --timeout ]]; then secs=$2; shift 2; fi
  _e2e_find_for "$secs" "$@"
  [[ $E2E_RC -eq 0 ]] || e2e_fail "no window ($*) within $secs s (find_window ended with $E2E_RC)"
}

# A window is found as soon as it exists, often before it is shown: look again
# until it is visible, then once more, since a line may hold the style read
# before the showing. Fails when it never shows or goes away.
e2e_wait_shown() {
  local secs=$E2E_TIMEOUT
  if [[ ${1:-} == --timeout ]]; then secs=$2; shift 2; fi
  e2e_wait_window --timeout "$secs" "$@"
  local deadline=$(($(e2e_now_ms) + ${secs%.*} * 1000))
  until [[ $(e2e_field "$E2E_WINDOW" visible) == 1 ]]; do
    (($(e2e_now_ms) < deadline)) || e2e_fail "window ($*) never became visible: $E2E_WINDOW"
    sleep 0.1
    e2e_find_window "$@" || e2e_fail "window ($*) went away before it was shown"
  done
  e2e_find_window "$@" || e2e_fail "window ($*) went away"
}

e2e_wait_no_window() {
  local secs=$E2E_TIMEOUT
  if [[ ${1:-} == --timeout ]]; then secs=$2; shift 2; fi
  _e2e_find_for "$secs" --gone "$@"
  [[ $E2E_RC -eq 0 ]] || e2e_fail "window ($*) still there after $secs s: $E2E_WINDOW"
}

e2e_send() {
  _e2e_driver send_message "$@"
  [[ $E2E_RC -eq 0 ]] || e2e_fail "send_message $*: $(cat "$_e2e_last_out")"
  E2E_RESULT=$(tr -d '\r' <"$_e2e_last_out" | sed -n 's/^result=//p')
}

e2e_post() {
  _e2e_driver send_message --post "$@"
  [[ $E2E_RC -eq 0 ]] || e2e_fail "post $*: $(cat "$_e2e_last_out")"
}

e2e_screen_info() {
  _e2e_driver screen_info
  E2E_INFO=$(tr -d '\r' <"$_e2e_last_out" | grep '^screen ' || true)
  [[ -n $E2E_INFO ]] || e2e_fail "screen_info printed nothing"
}

e2e_set_version() {
  local version=$1 key='HKCU\Software\Wine'
  [[ -z ${2:-} ]] || key="HKCU\\Software\\Wine\\AppDefaults\\$2"
  _e2e_driver reg add "$key" /v Version /t REG_SZ /d "$version" /f
  [[ $E2E_RC -eq 0 ]] || e2e_fail "reg add $key Version=$version failed"
}

# Xvfb's one screen becomes several RandR monitors, which Wine takes from
# Xinerama once told not to use RandR itself (the setting is read when the
# wineserver starts, so it is started again, after it has saved the registry:
# a server ended by a signal loses what was added). Physical sizes are at 96
# DPI.
e2e_monitors() {
  local monitor n=0 name mm_w mm_h old
  # A layout set before is taken down first (the screen's own monitor comes
  # back with its output, for the first new monitor to take over).
  for old in $(_e2e_x xrandr --listmonitors | sed -n 's/^ *[0-9]*: [+*]*\(E2E[0-9]*\) .*/\1/p'); do
    _e2e_x xrandr --delmonitor "$old" >/dev/null
  done
  for monitor in "$@"; do
    [[ $monitor =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] || e2e_fail "e2e_monitors: bad monitor $monitor"
    mm_w=$((BASH_REMATCH[1] * 254 / 960))
    mm_h=$((BASH_REMATCH[2] * 254 / 960))
    name=E2E$n
    ((n > 0)) || name="*$name"
    # The first monitor takes over the screen's output; a monitor of the
    # screen's own cannot be removed otherwise.
    _e2e_x xrandr --setmonitor "$name" \
      "${BASH_REMATCH[1]}/${mm_w}x${BASH_REMATCH[2]}/${mm_h}+${BASH_REMATCH[3]}+${BASH_REMATCH[4]}" \
      "$( ((n == 0)) && echo screen || echo none)" >/dev/null
    n=$((n + 1))
  done
  _e2e_driver reg add 'HKCU\Software\Wine\X11 Driver' /v UseXRandR /t REG_SZ /d N /f
  [[ $E2E_RC -eq 0 ]] || e2e_fail "reg add UseXRandR=N failed"
  # Ended this way the server writes the registry out first.
  timeout 30 "$E2E_WINESERVER_BIN" -k </dev/null >>"$E2E_DIR/wineserver.out" 2>&1 || true
  local try why
  for ((try = 1; ; try++)); do
    _e2e_stop_wine
    _e2e_start_server
    why=$(_e2e_warm_up) && break
    ((try < E2E_WARMUP_TRIES)) || e2e_fail "Wine's first program with several monitors failed $try times; last: $why"
    e2e_log "harness: Wine's start-up failed ($why); warm-up $((try + 1)) of $E2E_WARMUP_TRIES with a fresh wineserver"
  done
  e2e_screen_info
  e2e_log "monitors $*: $E2E_INFO"
}

# ---------------------------------------------------------------------------
# Input and pictures

_e2e_x() {
  [[ -n ${DISPLAY:-} ]] || e2e_fail "no display: call e2e_display first"
  timeout 10 "$@" || e2e_fail "$1 failed: $*"
}

# --sync waits until the pointer has moved, so it must not be asked to stay put.
e2e_mouse_move() {
  local here
  here=$(_e2e_x xdotool getmouselocation)
  [[ $here == "x:$1 y:$2 "* ]] || _e2e_x xdotool mousemove --sync "$1" "$2"
}
e2e_mouse_nudge() {
  [[ $1 == 0 && $2 == 0 ]] || _e2e_x xdotool mousemove_relative --sync -- "$1" "$2"
}
e2e_click() { _e2e_x xdotool click "${1:-1}"; }
e2e_key() { _e2e_x xdotool key "$@"; }

# NAME.1.png, NAME.2.png, ... N (default 3) screenshots 0.3 s apart, in SHOTS.
e2e_shots() {
  local i
  SHOTS=()
  for ((i = 1; i <= ${2:-3}; i++)); do
    ((i == 1)) || sleep 0.3
    e2e_screenshot "$1.$i"
    SHOTS+=("$E2E_SHOT")
  done
}

e2e_screenshot() {
  E2E_SHOT=$E2E_DIR/$1.png
  _e2e_x /usr/bin/import -display "$DISPLAY" -window root "$E2E_SHOT"
}

e2e_pixel() {
  local txt
  txt=$(timeout 10 /usr/bin/convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:-) ||
    e2e_fail "cannot read pixel $2,$3 of $1"
  [[ $txt =~ \#([0-9A-Fa-f]{6}) ]] || e2e_fail "pixel $2,$3 of $1: no colour in '$txt'"
  printf '%s\n' "${BASH_REMATCH[1],,}"
}

e2e_expect_pixel() {
  local file=$1 x=$2 y=$3 want=${4,,} tol=${5:-0} got
  got=$(e2e_pixel "$file" "$x" "$y")
  local i
  for i in 0 2 4; do
    local a=$((16#${got:i:2})) b=$((16#${want:i:2}))
    if ((a - b > tol || b - a > tol)); then
      e2e_fail "pixel $x,$y of $(basename "$file") is $got, expected $want (tolerance $tol)"
    fi
  done
}

e2e_probe() {
  local probe=$E2E_NATIVE_TOOLS/picture_probe
  [[ -x $probe ]] || e2e_fail "$probe is missing: build the native preset first (scripts/test does)"
  E2E_PROBE=$("$probe" "$@") || e2e_fail "picture_probe $* failed"
}

e2e_test_picture() {
  local file=$1 w=${2:-$E2E_SCREEN_W} h=${3:-$E2E_SCREEN_H}
  [[ -n $w && -n $h ]] || e2e_fail "e2e_test_picture: size unknown, call e2e_display first"
  local mx=$((w / 2)) my=$((h / 2))
  [[ $file == */* ]] || file=$E2E_DIR/$file
  timeout 30 /usr/bin/convert -size "${w}x${h}" xc:white \
    -fill '#ff0000' -draw "rectangle 0,0 $((mx - 1)),$((my - 1))" \
    -fill '#00ff00' -draw "rectangle $mx,0 $((w - 1)),$((my - 1))" \
    -fill '#0000ff' -draw "rectangle 0,$my $((mx - 1)),$((h - 1))" \
    "PNG24:$file" || e2e_fail "cannot make $file"
}

e2e_set_desktop() {
  local file=$1
  [[ $file == */* ]] || file=$E2E_DIR/$file
  [[ -n ${DISPLAY:-} ]] || e2e_fail "no display: call e2e_display first"
  # display exits with 1 even when it did set the picture: check the result.
  timeout 10 /usr/bin/display -display "$DISPLAY" -window root "$file" || true
  local want got
  want=$(e2e_pixel "$file" 0 0)
  e2e_screenshot desktop-check
  got=$(e2e_pixel "$E2E_SHOT" 0 0)
  [[ $got == "$want" ]] || e2e_fail "root picture not set: pixel 0,0 is $got, expected $want"
}

# ---------------------------------------------------------------------------
# Checks

e2e_expect_eq() {
  [[ $1 == "$2" ]] || e2e_fail "${3:-value}: got '$1', expected '$2'"
}

e2e_expect_match() {
  [[ $1 =~ $2 ]] || e2e_fail "${3:-text}: '$1' does not match /$2/"
}

# ---------------------------------------------------------------------------
# Cleanup

_e2e_cleanup() {
  local rc=$?
  set +eE
  trap - EXIT INT TERM ERR
  if ((rc != 0)) && [[ -n ${DISPLAY:-} && -n $_e2e_xvfb_pid ]] && _e2e_pid_alive "$_e2e_xvfb_pid"; then
    timeout 10 /usr/bin/import -display "$DISPLAY" -window root "$E2E_DIR/at-failure.png" 2>/dev/null
  fi
  local i pid
  for ((i = ${#_e2e_names[@]} - 1; i >= 0; i--)); do
    pid=${E2E_PID[${_e2e_names[i]}]}
    if _e2e_pid_alive "$pid"; then
      ((rc == 0)) && e2e_log "ending ${_e2e_names[i]} (pid $pid), still running at the end"
      _e2e_end_pid "$pid" 2
    fi
  done
  # Wine's own services (explorer, services, winedevice...) and the server
  # run with this test's private WINEPREFIX: end them by pid. (Asking the
  # server to do it, wineserver -k, takes a second longer.)
  [[ -z $_e2e_prefix ]] || _e2e_stop_wine
  [[ -z $_e2e_xvfb_pid ]] || _e2e_end_pid "$_e2e_xvfb_pid" 2
  local hit
  hit=$(_e2e_sweep "$_e2e_state")
  [[ -z $hit ]] || e2e_log "harness: processes left after cleanup, killed: $hit"
  rm -f "$_e2e_state"
  if ((rc != 0)); then
    _e2e_keep_artifacts
    local f
    for f in "$E2E_ARTIFACTS"/*.err; do
      [[ -s $f ]] || continue
      printf -- '--- %s (last lines)\n' "$(basename "$f")" >&2
      tail -n 15 "$f" >&2
    done
    printf '[%s] exit %d; artifacts in %s\n' "$E2E_NAME" "$rc" "$E2E_ARTIFACTS" >&2
  elif [[ ${E2E_KEEP:-0} != 1 ]]; then
    rm -rf "$E2E_DIR"
  fi
  exit "$rc"
}

if [[ "${BASH_SOURCE[0]}" == "$0" ]]; then
  # bash tests/e2e/lib.sh --template : make the prefix template (ctest fixture).
  [[ ${1:-} == --template ]] || { echo "usage: bash lib.sh --template" >&2; exit 2; }
fi

rm -rf "$E2E_DIR"
mkdir -p "$E2E_DIR" "$E2E_CWD"
_e2e_start_watchdog
set -E
trap '_e2e_on_err $? "$BASH_COMMAND"' ERR
trap _e2e_cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if [[ "${BASH_SOURCE[0]}" == "$0" ]]; then
  e2e_ensure_template
  exit 0
fi

# A locale made once per build tree (localedef into the build tree, under a
# lock so that parallel tests do not build it twice) and chosen for the
# programs started after it: e2e_locale ja_JP (ANSI code page 932) or en_US
# (1252). This shell itself stays in the C locale (and would warn about it).
e2e_locale() {
  local name=$1 dir=$E2E_BUILD_DIR/e2e/locale lockfd
  exec {lockfd}>"$E2E_BUILD_DIR/e2e/locale.lock"
  flock -w 120 "$lockfd" || e2e_fail "waited 120 s for the locale lock"
  if [[ ! -f $dir/$name.UTF-8/LC_CTYPE ]]; then
    mkdir -p "$dir"
    localedef -i "$name" -f UTF-8 "$dir/$name.UTF-8" >"$E2E_DIR/localedef.log" 2>&1 ||
      [[ -f $dir/$name.UTF-8/LC_CTYPE ]] || e2e_fail "localedef $name failed (see localedef.log)"
  fi
  exec {lockfd}>&-
  export LOCPATH=$dir
  export LC_ALL=$name.UTF-8 2>/dev/null
}

e2e_japanese_locale() { e2e_locale ja_JP; }
