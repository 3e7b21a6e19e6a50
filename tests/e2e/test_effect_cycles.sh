#!/usr/bin/env bash
# Fifty saver runs in a row, each ended a different way (mouse travel, a key,
# a click, WM_CLOSE from another process), some at once after the window
# appears (while the animation thread is still setting up its sprites), some a
# moment later. Every run must end with exit code 0, promptly (destruction
# waits for the animation thread; a thread that ignored its stop request would
# hold the exit for seconds) and leave no process behind.
#
# Prints the stop times, from the input or the posted WM_CLOSE to the end of
# the process, per way of ending. Stops early, and says so, if the runs take
# longer than the time budget on a slow machine.
source "$(dirname "$0")/lib.sh"

cycles=${E2E_CYCLES:-50}
budget_ms=85000          # ctest allows 120 s for the whole test
min_cycles=$((cycles < 20 ? cycles : 20))
max_stop_ms=4000         # the stop wait gives up after 5 s: that must never show

e2e_display 1024x768x24
e2e_wine
e2e_mouse_move 500 400

# Status 0 while a process of this test's Wine prefix runs Gyrewell.scr.
stray_saver() {
  local pid
  for pid in $(pgrep -f 'Gyrewell\.scr' || true); do
    { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}

# Waits for NAME's process to end, polling finely; ended_ms is when it did.
wait_end() {
  local pid=${E2E_PID[$1]} state deadline=$(($(e2e_now_ms) + 20000))
  while [[ -r /proc/$pid/stat ]]; do
    read -r _ _ state _ <"/proc/$pid/stat" 2>/dev/null || break
    [[ $state != Z ]] || break
    (($(e2e_now_ms) < deadline)) || e2e_fail "$1 did not end within 20 s of being closed"
    sleep 0.005
  done
  ended_ms=$(e2e_now_ms)
}

# Input sent before the saver holds the keyboard focus (the window exists a
# moment before it is brought to the front) would go elsewhere: wait for X to
# give it the focus.
wait_focus() {
  local deadline=$(($(e2e_now_ms) + 10000))
  until [[ $(timeout 5 xdotool getwindowfocus getwindowname 2>/dev/null) == "Screen Saver" ]]; do
    (($(e2e_now_ms) < deadline)) || e2e_fail "the saver of run $1 never got the keyboard focus"
    sleep 0.02
  done
}

ways=(mouse key click close)
declare -A times=()
start_ms=$(e2e_now_ms)
done_cycles=0
dx=30
for ((i = 1; i <= cycles; i++)); do
  if (($(e2e_now_ms) - start_ms > budget_ms)); then
    e2e_log "time budget of $((budget_ms / 1000)) s used up after $done_cycles runs"
    break
  fi
  name=saver$i
  way=${ways[(i - 1) % ${#ways[@]}]}
  e2e_start "$name" scr /s
  e2e_wait_window --timeout 30 --class WindowsScreenSaverClass --title "Screen Saver"
  hwnd=$E2E_HWND
  wait_focus "$i"
  # Every third run lets the animation get going first.
  ((i % 3 != 0)) || sleep 0.3
  e2e_alive "$name" || e2e_fail "run $i ended before it was closed"
  # The probe for strays must see a running saver, or its silence means nothing.
  ((i > 1)) || stray_saver || e2e_fail "cannot find the running Gyrewell.scr among the processes"
  # The clock starts before X input is sent, but after the program that
  # posts WM_CLOSE has done so (starting it under Wine takes longer than
  # the stop).
  t0=$(e2e_now_ms)
  case $way in
    mouse) e2e_mouse_nudge "$dx" 0; dx=$((-dx)) ;;
    key) e2e_key a ;;
    click) e2e_click 1 ;;
    close) e2e_post "$hwnd" WM_CLOSE; t0=$(e2e_now_ms) ;;
  esac
  wait_end "$name"
  e2e_wait_exit "$name" 5
  e2e_expect_eq "$E2E_RC" 0 "exit code of run $i (ended by $way)"
  stop=$((ended_ms - t0))
  ((stop <= max_stop_ms)) || e2e_fail "run $i (ended by $way) took $stop ms to stop"
  times[$way]+="$stop "
  if stray_saver; then
    sleep 1
    stray_saver && e2e_fail "a Gyrewell.scr process is left after run $i"
  fi
  done_cycles=$i
done

((done_cycles >= min_cycles)) || e2e_fail "only $done_cycles runs within the time budget"
e2e_wait_no_window --timeout 5 --class WindowsScreenSaverClass

all=
for way in "${ways[@]}"; do
  [[ -n ${times[$way]:-} ]] || continue
  all+=${times[$way]}
  e2e_log "stop ms, $way: $(tr ' ' '\n' <<<"${times[$way]}" | sort -n | awk 'NF {
    v[++n] = $1; s += $1 } END { printf "n=%d min=%d median=%d mean=%d max=%d", n, v[1], v[int((n + 1) / 2)], s / n, v[n] }')"
done
e2e_log "stop ms, all: $(tr ' ' '\n' <<<"$all" | sort -n | awk 'NF { v[++n] = $1; s += $1 }
  END { printf "n=%d min=%d median=%d mean=%d max=%d", n, v[1], v[int((n + 1) / 2)], s / n, v[n] }')"
e2e_log "$done_cycles runs in $((($(e2e_now_ms) - start_ms) / 1000)) s"
e2e_pass
