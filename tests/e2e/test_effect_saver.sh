#!/usr/bin/env bash
# The saver's picture on a real (virtual) screen, with real input:
#   - the desktop shows through unchanged wherever no sprite is, right out to
#     the first and last rows and columns (nothing shifted, flipped or cut);
#   - the pit darkens the middle: black at the centre, a darker but not black
#     ring around it;
#   - sprites appear outside the pit and move between two screenshots;
#   - after the window repaints itself (as when uncovered) the whole picture
#     comes back, not only the parts that move;
#   - after a mouse move ends the saver the desktop is back and the exit code
#     is 0.
# With the black backdrop (PTNNUM=2 in .\Gyrewell.ini) the field is black with
# sprites and the desktop shows nowhere, not even round a pit.
#
#   test_effect_saver.sh [GEOMETRY [desktop|black]]
# test_effect_saver16.sh, test_effect_saver_odd.sh and test_effect_black.sh run
# this script again.
#
# The desktop is a tiled ramp (red = x mod 256, green = y mod 256, blue mixes
# both), so a picture moved by even one pixel no longer matches anywhere. At 16
# bits per pixel colours pass through 5 bits per channel on their way to the
# screen, so there only the top five bits of each channel are compared.
# Sprites may cover any pixel, so every pixel check is a majority over many
# samples.
source "$(dirname "$0")/lib.sh"

geometry=${1:-1280x800x24}
backdrop=${2:-desktop}
e2e_display "$geometry"
w=$E2E_SCREEN_W
h=$E2E_SCREEN_H
quantum=$((E2E_SCREEN_D == 16 ? 8 : 1))   # colours compare in steps of this
# The pit is centred on the middle of the field: W / 2 across and (H + 1) / 2
# down in screen pixels, its darkest part spanning the two middle pixels.
cx=$((w / 2))
cy=$(((h + 1) / 2))

# Twenty sprites (the fewest) on the black field: few enough that a frame
# presented only where sprites move would leave a repainted desktop showing.
if [[ $backdrop == black ]]; then
  printf '[Gyrewell]\r\nCHRNUM=20\r\nPTNNUM=2\r\n' >"$E2E_CWD/Gyrewell.ini"
fi

awk 'BEGIN { printf "P3\n256 256\n255\n"
             for (y = 0; y < 256; y++) for (x = 0; x < 256; x++)
               printf "%d %d %d\n", x, y, (x * 3 + y * 5) % 256 }' >"$E2E_DIR/tile.ppm"
/usr/bin/convert -size "${w}x${h}" "tile:$E2E_DIR/tile.ppm" "PNG24:$E2E_DIR/desk.png" ||
  e2e_fail "cannot make the desktop picture"
e2e_set_desktop desk.png
e2e_screenshot desktop    # the desktop as this display holds it (quantised at 16 bits)
desktop=$E2E_SHOT

# Pixels of a picture as "x y r g b" lines: every 8th pixel of every 8th row,
# the outermost rows and columns, and every pixel within 40 of the centre.
# (Reading every pixel of a screen through awk takes too long on a busy machine.)
pixels() {   # FILE TAG X Y W H [STEP]: the block, every STEP-th pixel both ways
  local file=$1 tag=$2
  shift 2
  local step=${5:-1} scale=
  # Each block's first pixel: the sample point sits at this percentage of the block.
  ((step == 1)) || scale="-define sample:offset=$((50 / step)).$((5000 / step % 100)) -sample $(($3 / step))x$(($4 / step))!"
  # shellcheck disable=SC2086 # $scale is two options or none
  /usr/bin/convert "$file" -crop "$3x$4+$1+$2" +repage $scale -depth 8 rgb:- |
    od -An -v -tu1 -w3 |
    awk -v x0="$1" -v y0="$2" -v n=$(($3 / step)) -v s="$step" -v tag="$tag" '
      { i = NR - 1; print x0 + i % n * s, y0 + int(i / n) * s, $1, $2, $3, tag }'
}
samples() {
  {
    pixels "$1" grid 0 0 $((w / 8 * 8)) $((h / 8 * 8)) 8
    pixels "$1" edge 0 0 "$w" 1
    pixels "$1" edge 0 $((h - 1)) "$w" 1
    pixels "$1" edge 0 0 1 "$h"
    pixels "$1" edge $((w - 1)) 0 1 "$h"
    pixels "$1" centre $((cx - 40)) $((cy - 40)) 81 81
  } >"$2"
  (($(wc -l <"$2") == (w / 8) * (h / 8) + 2 * (w + h) + 81 * 81)) || e2e_fail "not every pixel read from $1"
}

# Compares a screenshot's samples with the desktop's and prints the counts the
# checks below use, as "name=value" words:
#   field / field_same     grid samples away from the pit; those equal to the desktop
#   border / border_same / border_black
#                          samples on the outermost rows and columns; equal ones; black ones
#   field_black            field samples that are black
#   changed                field samples far from the desktop (sprites, at 24 and 16 bits)
#   lit                    field samples far from black (sprites on the black field)
#   core / core_black      pixels within 6 of the centre; black ones
#   ring / ring_dim        16 points at radius 28 around the centre; those darker
#                          than the desktop by a sixth or more but not black
#   outer / outer_bright   64 points at radius 40, where the pit has faded out;
#                          those at 90% or more of the desktop's brightness (a pit
#                          off the centre by a few pixels darkens some of them)
# Also writes the positions of the sprite samples (changed, or lit on the black
# field) to $3, for the motion check.
compare() {
  : >"$3"
  paste -d' ' "$1" "$2" | awk -v w="$w" -v h="$h" -v cx="$cx" -v cy="$cy" -v q="$quantum" -v out="$3" -v mode="$backdrop" '
    function eq(a, b) { return a - a % q == b - b % q }
    function abs(v) { return v < 0 ? -v : v }
    BEGIN {
      pi = atan2(0, -1)
      for (i = 0; i < 16; i++) {
        rx = cx - 0.5 + 28 * cos(2 * pi * i / 16); ry = cy - 0.5 + 28 * sin(2 * pi * i / 16)
        ring[int(rx + 0.5) "," int(ry + 0.5)] = 1
      }
      for (i = 0; i < 64; i++) {
        rx = cx - 0.5 + 40 * cos(2 * pi * i / 64); ry = cy - 0.5 + 40 * sin(2 * pi * i / 64)
        outer[int(rx + 0.5) "," int(ry + 0.5)] = 1
      }
    }
    {
      x = $1; y = $2; dr = $3; dg = $4; db = $5; tag = $6; sr = $9; sg = $10; sb = $11
      same = eq(dr, sr) && eq(dg, sg) && eq(db, sb)
      black = sr <= 8 && sg <= 8 && sb <= 8
      dx = x - cx; dy = y - cy
      if (tag == "edge") {
        n["border"]++
        if (same) n["border_same"]++
        if (black) n["border_black"]++
      }
      if (tag == "grid" && (abs(dx) > 60 || abs(dy) > 60)) {
        n["field"]++
        if (same) n["field_same"]++
        if (black) n["field_black"]++
        changed = abs(sr - dr) + abs(sg - dg) + abs(sb - db) > 90
        lit = sr + sg + sb > 90
        if (changed) n["changed"]++
        if (lit) n["lit"]++
        if (mode == "black" ? lit : changed) print x, y > out
      }
      if (tag == "centre" && dx * dx + dy * dy <= 36) { n["core"]++; if (black) n["core_black"]++ }
      if (tag == "centre" && (x "," y) in outer) { n["outer"]++; if ((sr + sg + sb) * 10 >= (dr + dg + db) * 9) n["outer_bright"]++ }
      if (tag == "centre" && (x "," y) in ring) {
        n["ring"]++
        if ((sr + sg + sb) * 6 <= (dr + dg + db) * 5 && sr + sg + sb > 24) n["ring_dim"]++
      }
    }
    END {
      split("field field_same border border_same border_black field_black changed lit core core_black ring ring_dim outer outer_bright", k, " ")
      for (i = 1; i in k; i++) printf "%s=%d ", k[i], n[k[i]]
      print ""
    }'
}

count() { e2e_field "$1" "$2"; }

# At least NUM/DEN of TOTAL, and TOTAL is not zero.
expect_share() {
  local part=$1 total=$2 num=$3 den=$4 what=$5
  ((total > 0 && part * den >= total * num)) ||
    e2e_fail "$what: $part of $total, expected at least $num/$den"
}

samples "$desktop" "$E2E_DIR/desktop.txt"

# Out of the pit's way, so the one mouse move Wine sends at start-up lands
# where nothing is checked.
e2e_mouse_move 20 20
e2e_start saver scr /s
e2e_wait_window --timeout 30 --class WindowsScreenSaverClass --title "Screen Saver"
e2e_expect_eq "$(e2e_field "$E2E_WINDOW" rect)" "0,0,$w,$h" "saver window rectangle"
saver_hwnd=$E2E_HWND

# The first frames come once the sprites are set up; until then the window
# shows the desktop copy. Wait for the pit, or for the black field.
tries=0
deadline=$(($(e2e_now_ms) + 20000))
while :; do
  tries=$((tries + 1))
  e2e_screenshot "early$tries"
  samples "$E2E_SHOT" "$E2E_SHOT.txt"
  result=$(compare "$E2E_DIR/desktop.txt" "$E2E_SHOT.txt" "$E2E_SHOT.changed")
  if [[ $backdrop == black ]]; then
    (($(count "$result" field_black) * 10 >= $(count "$result" field) * 9)) && break
  else
    (($(count "$result" core_black) * 2 > $(count "$result" core))) && break
  fi
  (($(e2e_now_ms) < deadline)) || e2e_fail "no pit (or black field) within 20 s of the window: $result"
  e2e_alive saver || e2e_fail "the saver ended while waiting for the animation"
  sleep 0.3
done
early=$result
early_changed=$E2E_SHOT.changed
e2e_log "first animated screenshot: $early"

# Sprites: pixels far from the backdrop away from the pit, and not the same
# ones a second and a half later. The crowd comes in waves (all slots start
# together), and with few sprites a shot may fall between two waves, when
# only a handful are in sight: then look again, half a second later each
# time, with the same limits.
if [[ $backdrop == black ]]; then
  least=4
else
  least=10
fi
sleep 1.5
for ((shot = 1; ; shot++)); do
  e2e_screenshot "late$shot"
  samples "$E2E_SHOT" "$E2E_SHOT.txt"
  late=$(compare "$E2E_DIR/desktop.txt" "$E2E_SHOT.txt" "$E2E_SHOT.changed")
  late_changed=$E2E_SHOT.changed
  e2e_log "$((1500 + (shot - 1) * 500)) ms later: $late"
  if [[ $backdrop == black ]]; then sprite_count=$(count "$late" lit); else sprite_count=$(count "$late" changed); fi
  moved=$(sort "$early_changed" "$late_changed" | uniq -u | wc -l)
  ((sprite_count < least || moved < least)) || break
  ((shot < 8)) || break
  sleep 0.5
done

for r in "$early" "$late"; do
  if [[ $backdrop == black ]]; then
    # Black everywhere but for the sprites; the desktop shows nowhere, not
    # even as a pit's soft edge.
    expect_share "$(count "$r" field_black)" "$(count "$r" field)" 19 20 "black field samples"
    expect_share "$(count "$r" border_black)" "$(count "$r" border)" 19 20 "black edge samples"
    expect_share "$(count "$r" core_black)" "$(count "$r" core)" 1 2 "black pixels at the centre"
  else
    expect_share "$(count "$r" field_same)" "$(count "$r" field)" 19 20 "field samples equal to the desktop"
    expect_share "$(count "$r" border_same)" "$(count "$r" border)" 19 20 "edge samples equal to the desktop"
    expect_share "$(count "$r" core_black)" "$(count "$r" core)" 1 2 "black pixels at the centre"
    expect_share "$(count "$r" ring_dim)" "$(count "$r" ring)" 12 16 "dimmed, not black, points at radius 28"
    expect_share "$(count "$r" outer_bright)" "$(count "$r" outer)" 7 8 "undimmed points at radius 40"
  fi
done

((sprite_count >= least)) || e2e_fail "too few sprite pixels in every shot: $late"
((moved >= least)) || e2e_fail "the sprites did not move: only $moved of the changed samples differ"
e2e_log "sprite samples: $sprite_count, differing between the two screenshots: $moved"

# Uncovering the window makes it paint the plain desktop copy; the next frame
# must bring the whole picture back, pit and black field included, not only
# the parts that move.
e2e_driver effect_invalidate "$saver_hwnd" 0 0 "$w" "$h"
e2e_expect_eq "$E2E_RC" 0 "invalidating the saver window"
sleep 1.5
e2e_screenshot repainted
samples "$E2E_SHOT" "$E2E_SHOT.txt"
repainted=$(compare "$E2E_DIR/desktop.txt" "$E2E_SHOT.txt" "$E2E_SHOT.changed")
e2e_log "a second and a half after a repaint: $repainted"
if [[ $backdrop == black ]]; then
  expect_share "$(count "$repainted" field_black)" "$(count "$repainted" field)" 19 20 "black field samples after a repaint"
  # Where the desktop and black agree anyway, samples match it; a few more
  # mean pieces of the painted desktop copy were not drawn over by the frame
  # after the paint, which is presented whole.
  if (($(count "$repainted" field_same) > $(count "$late" field_same) + 3)); then
    e2e_fail "pieces of the desktop copy left on the black field after a repaint: $repainted"
  fi
else
  expect_share "$(count "$repainted" core_black)" "$(count "$repainted" core)" 1 2 "black pixels at the centre after a repaint"
  expect_share "$(count "$repainted" ring_dim)" "$(count "$repainted" ring)" 12 16 "dimmed points at radius 28 after a repaint"
fi

# A mouse move ends the saver; the desktop is whole again afterwards.
e2e_mouse_nudge 40 0
e2e_wait_exit saver 20
e2e_expect_eq "$E2E_RC" 0 "exit code after the mouse move"
e2e_wait_no_window --timeout 10 --class WindowsScreenSaverClass
sleep 0.3
e2e_screenshot after
samples "$E2E_SHOT" "$E2E_SHOT.txt"
after=$(compare "$E2E_DIR/desktop.txt" "$E2E_SHOT.txt" "$E2E_SHOT.changed")
e2e_expect_eq "$(count "$after" field_same)/$(count "$after" border_same)/$(count "$after" changed)" \
  "$(count "$after" field)/$(count "$after" border)/0" "desktop samples back after the saver (equal/edge/changed)"
cmp -s "$E2E_DIR/desktop.txt" "$E2E_SHOT.txt" || e2e_fail "the desktop differs from before the saver"
e2e_pass
