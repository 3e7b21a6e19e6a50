# lib.sh - harness of the X11 program's tests (and of `scripts/run --x11`).
#
# A test sources this file: `set -euo pipefail`, a run folder ($X11_DIR), a
# private Xvfb, and every process it started ended by pid when it exits,
# however it exits. On failure the run folder (screenshots, each program's
# stdout and stderr) moves to $X11_BUILD_DIR/x11-artifacts/<test>/ ($X11_KIND
# names the two folders: x11 unless the sourcing harness says otherwise) and the
# tail of every .err file is printed; on success it is removed (X11_KEEP=1
# keeps it).
#
#   x11_display 1024x768x24 [XVFB-ARGS]  private Xvfb; DISPLAY, X11_SCREEN_W/H
#   x11_start NAME PROGRAM ARGS    in the background, output in $X11_DIR/NAME.out/.err
#   x11_stop NAME                  SIGTERM, then wait (10 s); exit status in X11_RC
#   x11_alive NAME                 status 0 while it runs
#   x11_until SECONDS COMMAND...   runs COMMAND every 0.2 s until it succeeds
#   x11_daemon                     installs the program (cmake --install into the
#                                  run folder) and starts the real daemon as user
#                                  65534, its ~/.xscreensaver selecting the program;
#                                  X11_PROGRAM, X11_HOME, X11_CONFIG (the installed
#                                  settings folder), X11_AS_NOBODY (a command prefix
#                                  that runs as that user in that home)
#   x11_fail MESSAGE / x11_log MESSAGE
# GYREWELL is the program, X11_CHECK the picture checker (tests/x11/x11_check.cpp).
set -euo pipefail

X11_SOURCE_DIR=${GYREWELL_SOURCE_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)}
X11_BUILD_DIR=${GYREWELL_BUILD_DIR:-$X11_SOURCE_DIR/build/native}
GYREWELL=${GYREWELL:-$X11_BUILD_DIR/x11/gyrewell}
X11_CHECK=${X11_CHECK:-$X11_BUILD_DIR/tests/x11/x11_check}
X11_NAME=${X11_NAME:-$(basename "$0" .sh)}
X11_KIND=${X11_KIND:-x11}  # the Wayland tests' harness says wayland: their own run and artifact folders
X11_DIR=$X11_BUILD_DIR/$X11_KIND-tests/$X11_NAME.$$
X11_RC=
declare -A X11_PID=()
_x11_xvfb=

# Tests draw only on their own display, never as a display mode of a running daemon.
unset DISPLAY XSCREENSAVER_WINDOW
mkdir -p "$X11_DIR"

x11_log() { printf '[%s] %s\n' "$X11_NAME" "$*" >&2; }
x11_fail() {
  x11_log "FAIL: $*"
  echo "$*" >"$X11_DIR/failure.txt"
  exit 1
}

x11_display() {
  [[ $1 =~ ^([0-9]+)x([0-9]+)x([0-9]+)$ ]] || x11_fail "x11_display: bad geometry $1"
  local fdfile=$X11_DIR/xvfb.display geometry=$1
  shift
  : >"$fdfile"
  # -displayfd: Xvfb picks a free display and names it once it listens;
  # -noreset keeps the root's background when the last client leaves.
  Xvfb -screen 0 "$geometry" "$@" -nolisten tcp -noreset -displayfd 3 3>"$fdfile" </dev/null >"$X11_DIR/xvfb.log" 2>&1 &
  _x11_xvfb=$!
  x11_until 30 grep -q '^[0-9][0-9]*$' "$fdfile" || x11_fail "Xvfb did not start (see xvfb.log)"
  export DISPLAY=":$(head -n1 "$fdfile")"
  X11_SCREEN_W=${BASH_REMATCH[1]} X11_SCREEN_H=${BASH_REMATCH[2]}
}

x11_start() {
  local name=$1
  shift
  "$@" </dev/null >"$X11_DIR/$name.out" 2>"$X11_DIR/$name.err" &
  X11_PID[$name]=$!
}

x11_alive() { kill -0 "${X11_PID[$1]}" 2>/dev/null; }

x11_stop() {
  local pid=${X11_PID[$1]}
  kill -TERM "$pid" 2>/dev/null || true
  local i
  for ((i = 0; i < 100; i++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$pid" 2>/dev/null && x11_fail "$1 did not end within 10 s of SIGTERM"
  X11_RC=0
  wait "$pid" || X11_RC=$?
}

x11_until() {
  local seconds=$1
  shift
  local end=$((SECONDS + seconds))
  until "$@" 2>/dev/null; do
    ((SECONDS < end)) || return 1
    sleep 0.2
  done
}

x11_daemon() {
  local prefix=$X11_DIR/prefix
  cmake --install "$X11_BUILD_DIR" --prefix "$prefix" >"$X11_DIR/install.out"
  X11_PROGRAM=$prefix/libexec/xscreensaver/gyrewell
  X11_CONFIG=$prefix/share/xscreensaver/config
  [[ -x $X11_PROGRAM ]] || x11_fail "cmake --install put no program at $X11_PROGRAM"
  [[ -f $X11_CONFIG/gyrewell.xml ]] || x11_fail "cmake --install put no gyrewell.xml"
  X11_HOME=$X11_DIR/home
  mkdir -p "$X11_HOME"
  chmod 755 "$X11_DIR"
  chmod 777 "$X11_HOME"
  cat >"$X11_HOME/.xscreensaver" <<END
timeout: 0:10:00
lock: False
splash: False
fade: False
unfade: False
mode: one
selected: 0
grabDesktopImages: True
programs: "Gyrewell" $X11_PROGRAM -root
END
  chmod 666 "$X11_HOME/.xscreensaver"  # the settings program saves into it
  X11_AS_NOBODY=(setpriv --reuid=65534 --regid=65534 --clear-groups
                 env HOME="$X11_HOME" DISPLAY="$DISPLAY" NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory)
  x11_start daemon "${X11_AS_NOBODY[@]}" xscreensaver -no-splash
  x11_until 20 "${X11_AS_NOBODY[@]}" xscreensaver-command -version >/dev/null || x11_fail "the daemon did not answer"
}

_x11_cleanup() {
  local status=$?
  local name pid
  for name in "${!X11_PID[@]}"; do
    pid=${X11_PID[$name]}
    kill -TERM "$pid" 2>/dev/null && { sleep 0.5; kill -KILL "$pid" 2>/dev/null || true; }
  done
  [[ -n $_x11_xvfb ]] && kill -TERM "$_x11_xvfb" 2>/dev/null
  if ((status != 0)); then
    local kept=$X11_BUILD_DIR/$X11_KIND-artifacts/$X11_NAME
    rm -rf "$kept"
    mkdir -p "$(dirname "$kept")"
    mv "$X11_DIR" "$kept"
    for name in "$kept"/*.err; do
      [[ -s $name ]] && { echo "--- $(basename "$name")"; tail -n 20 "$name"; }
    done
    x11_log "artifacts in $kept"
  elif [[ -z ${X11_KEEP:-} ]]; then
    rm -rf "$X11_DIR"
  fi
  return "$status"
}
trap _x11_cleanup EXIT
