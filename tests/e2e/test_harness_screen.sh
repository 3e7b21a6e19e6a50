#!/usr/bin/env bash
# Pictures in and out of the virtual display, at 24 bits (which Win32
# programs see as 32) and at 16 bits: a known root picture reads back exactly
# from a screenshot, Win32 sees the display's size and depth, and what a Wine
# window draws shows up in screenshots.
source "$(dirname "$0")/lib.sh"

# test_harness_screen16.sh runs this script again at 1024x768x16.
geometry=${1:-1280x800x24}
e2e_display "$geometry"
e2e_test_picture desk.png
e2e_set_desktop desk.png
e2e_screenshot desktop
w=$E2E_SCREEN_W
h=$E2E_SCREEN_H
e2e_expect_pixel "$E2E_SHOT" 5 5 ff0000
e2e_expect_pixel "$E2E_SHOT" $((w - 5)) 5 00ff00
e2e_expect_pixel "$E2E_SHOT" 5 $((h - 5)) 0000ff
e2e_expect_pixel "$E2E_SHOT" $((w - 5)) $((h - 5)) ffffff
e2e_expect_pixel "$E2E_SHOT" $((w / 2 - 1)) $((h / 2 - 1)) ff0000   # quadrant edges
e2e_expect_pixel "$E2E_SHOT" $((w / 2)) $((h / 2)) ffffff

e2e_screen_info
bpp=$((E2E_SCREEN_D == 24 ? 32 : E2E_SCREEN_D))
e2e_expect_eq "$(e2e_field "$E2E_INFO" width)x$(e2e_field "$E2E_INFO" height)" "${w}x${h}" "screen size seen by Win32"
e2e_expect_eq "$(e2e_field "$E2E_INFO" bpp)" "$bpp" "BITSPIXEL of the screen"

# parent_window fills its client area with teal (0,128,128).
e2e_start parent parent_window --size 300x200
e2e_wait_window --class GyrewellTestParent
rect=$(e2e_field "$E2E_WINDOW" rect)
IFS=, read -r left top right bottom <<<"$rect"
cx=$(((left + right) / 2))
cy=$(((top + bottom) / 2))
sleep 0.5   # the first paint follows the window's appearance
e2e_screenshot window
e2e_expect_pixel "$E2E_SHOT" "$cx" "$cy" 008080 "$((E2E_SCREEN_D == 16 ? 8 : 0))"
e2e_expect_pixel "$E2E_SHOT" 5 5 ff0000   # the desktop around it is untouched
e2e_pass
