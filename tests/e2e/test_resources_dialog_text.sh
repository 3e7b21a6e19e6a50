#!/usr/bin/env bash
# Dialog template 2003 as the system shows it under a Japanese locale: every
# control's window text arrives as the intended UTF-16 (so the template holds
# real Japanese text, not code-page bytes), the label takes its code page 932
# text, and the Japanese glyphs are drawn (the captions' ink is as wide as
# full-width text, not a row of narrow replacement marks). The screenshot
# stays in the run folder with E2E_KEEP=1.
source "$(dirname "$0")/lib.sh"

# UTF-16 code units of a UTF-8 text, as resource_check prints them.
utf16_hex() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16BE | od -An -tx1 -v | tr -d ' \n'; }

e2e_display 1024x768x24
e2e_japanese_locale
mkdir -p "$E2E_CWD"
cp "$E2E_SCR" "$E2E_CWD/Gyrewell.scr"
e2e_start show resource_check --show Gyrewell.scr 15000
e2e_wait_line show '^shown '
e2e_wait_window --class '#32770' --title 'Gyrewell Version 1.02'
rect=$(e2e_field "$E2E_WINDOW" rect)

declare -A want=(
  [1]="ＯＫ" [2]="ｷｬﾝｾﾙ" [1042]="Slider1" [1043]="100　"
  [1044]="そのまま" [1045]="ブラック"
)
out=$(tr -d '\r' <"$(e2e_out show)")
for id in "${!want[@]}"; do
  line=$(grep -m1 "^text id=$id " <<<"$out" || true)
  e2e_expect_eq "$(e2e_field "$line" hex)" "$(utf16_hex "${want[$id]}")" "text of control $id"
done
# The two group boxes share id -1; both texts must be there, in this order.
boxes=$(grep '^text id=-1 ' <<<"$out" | sed 's/.*hex=//' | tr '\n' ' ')
e2e_expect_eq "$boxes" "$(utf16_hex 'うさぎ（にんじん、花）の数') $(utf16_hex 'デスクトップ') " "group box texts"

sleep 0.5
e2e_screenshot dialog
# Ink of the upper group box's caption: the dark pixels in a band across the
# top of the client area, where the box's edge and its caption lie. Thirteen
# full-width characters of a 10-point face span well over 100 pixels;
# replacement marks or a missing face would not.
IFS=, read -r left top right bottom <<<"$rect"
client=$(e2e_field "$E2E_WINDOW" client)
cw=${client%x*} ch=${client#*x}
border=$(((right - left - cw) / 2))
ctop=$((bottom - border - ch))
band=$(/usr/bin/convert "$E2E_SHOT" -crop "$((cw / 2))x24+$((left + border))+$((ctop + 2))" +repage \
  -threshold 40% -negate -trim -format '%w' info: 2>/dev/null || echo 0)
e2e_log "caption band ink width: $band px (dialog $rect)"
((band > 120)) || e2e_fail "the group box caption's glyphs are missing (ink $band px wide)"
e2e_wait_exit show 30
e2e_expect_eq "$E2E_RC" 0 "exit code of resource_check --show"
e2e_pass
