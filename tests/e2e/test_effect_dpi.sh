#!/usr/bin/env bash
# Display scaling. The saver is run on the same 1280x800 desktop with the
# system's DPI set to 96, 144 and 192 (LogPixels, as the Display settings'
# scale would set it; Wine then reports that DPI and the physical screen, as
# Windows does for a DPI-aware program):
#   - at 192 DPI (200 %) the pit is twice as wide as at 96, and on the black
#     backdrop the whole picture is made of 2 x 2 squares: sprites drawn twice
#     as large, pixel for pixel, not blurred;
#   - at 144 DPI (150 %) nothing changes: the pit is as wide as at 96, and the
#     sprites are not squares;
#   - at 192 DPI without the memory for drawing larger (the test build's
#     "/zm") it still animates, as at 96 DPI.
# Pictures are measured by picture_probe (tools/picture_probe.cpp).
source "$(dirname "$0")/lib.sh"

e2e_display 1280x800x24
e2e_test_picture desk.png
e2e_set_desktop desk.png
e2e_screenshot desktop
desktop=$E2E_SHOT
cx=$((E2E_SCREEN_W / 2))
cy=$(((E2E_SCREEN_H + 1) / 2))

# Runs the saver at a DPI and takes three screenshots after the sprites came
# in: $SHOTS. PROGRAM and SWITCH default to scr /s.
run_at() {   # DPI NAME [PROGRAM SWITCH]
  e2e_run "$2.dpi" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f
  e2e_expect_eq "$E2E_RC" 0 "setting LogPixels to $1"
  e2e_mouse_move 5 5
  e2e_start "$2" "${3:-scr}" "${4:-/s}"
  e2e_wait_shown --class WindowsScreenSaverClass --title "Screen Saver"
  sleep 2
  e2e_shots "$2"
  e2e_mouse_nudge 60 0
  e2e_wait_exit "$2"
  e2e_expect_eq "$E2E_RC" 0 "exit code at $1 DPI"
}

# Twenty sprites, the fewest, so that they seldom cross the pit's middle row.
printf '[Gyrewell]\r\nCHRNUM=20\r\nPTNNUM=1\r\n' >"$E2E_CWD/Gyrewell.ini"
for dpi in 96 144 192; do
  run_at "$dpi" "desktop$dpi"
  e2e_probe pit "$desktop" "$cx" "$cy" "${SHOTS[@]}"
  declare "pit$dpi=$(e2e_field "$E2E_PROBE" pit_width)"
done
e2e_log "pit width: $pit96 px at 96 DPI, $pit144 at 144, $pit192 at 192"
((pit96 > 40)) || e2e_fail "no pit at 96 DPI ($pit96 px)"
e2e_expect_eq "$pit144" "$pit96" "pit width at 144 DPI (scale 1)"
((pit192 >= 2 * pit96 - 2 && pit192 <= 2 * pit96 + 2)) ||
  e2e_fail "the pit at 192 DPI is $pit192 px wide, not twice the $pit96 at 96 DPI"
run_at 192 nomemory192 "$E2E_BUILD_DIR/tests/GyrewellHooked.scr" /zm
e2e_probe pit "$desktop" "$cx" "$cy" "${SHOTS[@]}"
e2e_expect_eq "$(e2e_field "$E2E_PROBE" pit_width)" "$pit96" \
  "pit width at 192 DPI without the memory for drawing larger (scale 1)"

# Wine shows a frame through shared memory that the X server may read while
# the next frame is being written, so a screenshot now and then holds the top
# of one frame and the rest of the next, torn at any row. Each frame is made
# of squares, a torn shot may not be: a fault in the drawing shows in every
# shot, a tear in one.
printf '[Gyrewell]\r\nCHRNUM=200\r\nPTNNUM=2\r\n' >"$E2E_CWD/Gyrewell.ini"
for dpi in 144 192; do
  run_at "$dpi" "black$dpi"
  squared=0
  for shot in "${SHOTS[@]}"; do
    e2e_probe squares "$shot" 2
    e2e_log "black backdrop at $dpi DPI, $(basename "$shot"): $E2E_PROBE"
    lit=$(e2e_field "$E2E_PROBE" lit)
    ((lit > 2000)) || e2e_fail "hardly any sprite on the black field at $dpi DPI ($lit pixels)"
    squared=$((squared + $(e2e_field "$E2E_PROBE" squares)))
  done
  if ((dpi == 192)); then
    ((squared > 0)) || e2e_fail "no screenshot at 192 DPI is made of 2 x 2 squares"
  else
    e2e_expect_eq "$squared" 0 "screenshots made of 2 x 2 squares at $dpi DPI"
  fi
done
e2e_pass
