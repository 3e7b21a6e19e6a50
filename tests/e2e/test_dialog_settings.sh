#!/usr/bin/env bash
# The configuration dialog (Gyrewell.scr /c) against the settings files: what
# it shows for values stored in its working directory's file (missing, odd),
# how the slider and the label follow page steps and drags, and what OK
# writes, which goes to the user's own file, never to the working directory.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialog.sh"

# expect_shown N KEY=VALUE...: checks the Nth "dialog" line of SHOWN.
expect_shown() {
  local line key
  line=$(grep '^dialog ' <<<"$SHOWN" | sed -n "${1}p")
  shift
  for key in "$@"; do
    e2e_expect_eq "$(e2e_field "$line" "${key%%=*}")" "${key#*=}" "${key%%=*} in: $line"
  done
}

# The user's file, which OK writes, as lines without carriage returns; store
# puts values in the working directory's file and takes the user's away, so
# that they are what the next dialog reads.
ini() { tr -d '\r' <"$(user_ini)"; }
store() { mkdir -p "$E2E_CWD" && printf '%s\r\n' "$@" >"$E2E_CWD/Gyrewell.ini" && rm -f "$(user_ini)"; }

mkdir -p "$E2E_DIR"
e2e_japanese_locale
e2e_display 1024x768x24
e2e_wine
mkdir -p "$E2E_CWD"

# Label bytes: the count and the ideographic space of code page 932 (81 40).
label() { printf '%s8140' "$(printf '%s' "$1" | od -An -tx1 | tr -d ' \n')"; }

# --- No settings file: defaults shown; OK creates the user's file with both
# keys, and nothing in the (writable) working directory.
rm -f "$E2E_CWD/Gyrewell.ini"
e2e_start none scr /c
drive none.drive show click:1 gone
expect_shown 1 slider=100 min=20 max=200 page=100 "label=$(label 100)" desktop=1 black=0 focus=1
e2e_wait_exit none
e2e_expect_eq "$E2E_RC" 1 "exit code of /c after OK"
e2e_expect_eq "$(ini)" $'[Gyrewell]\nCHRNUM=100\nPTNNUM=1' "file made by OK"
[[ ! -e $E2E_CWD/Gyrewell.ini ]] || e2e_fail "OK wrote the working directory's file too"

# --- Stored 150 and black; page keys step by 100 and stop at the ends; the
# label follows a drag before the thumb is released; OK stores what is shown.
store '[Gyrewell]' 'CHRNUM=150' 'PTNNUM=2'
e2e_start stored scr /c
drive stored.drive show pageup show pos:150 pagedown show pagedown show drag:77 show click:1044 show
expect_shown 1 slider=150 "label=$(label 150)" desktop=0 black=1
expect_shown 2 slider=50 "label=$(label 50)"
expect_shown 3 slider=200 "label=$(label 200)"
expect_shown 4 slider=200 "label=$(label 200)"
expect_shown 5 slider=77 "label=$(label 77)" black=1
expect_shown 6 slider=77 desktop=1 black=0

# A click in the channel beside the thumb is a page step as well: the slider's
# left end is far below the thumb at 77, so one click gives 20 (held).
dialog=$(grep '^dialog ' <<<"$SHOWN" | head -n1)
e2e_run stored.where find_window --child-of "$(e2e_field "$dialog" hwnd)" --id 1042
slider=$(tr -d '\r' <"$(e2e_out stored.where)" | grep '^window ' | head -n1)
IFS=, read -r left top right bottom <<<"$(e2e_field "$slider" rect)"
e2e_mouse_move $((left + 20)) $(((top + bottom) / 2))
e2e_click 1
drive stored.click wait-pos:20 show
expect_shown 1 slider=20 "label=$(label 20)"
e2e_screenshot dialog
drive stored.ok click:1 gone
e2e_wait_exit stored
e2e_expect_eq "$E2E_RC" 1 "exit code of /c after OK"
e2e_expect_eq "$(ini)" $'[Gyrewell]\nCHRNUM=20\nPTNNUM=1' "file after changes and OK"

# --- Out-of-range values open at the defaults; OK without touching anything
# rewrites both keys with values in range.
store '[Gyrewell]' 'CHRNUM=500' 'PTNNUM=3'
e2e_start range scr /c
drive range.drive show click:1 gone
expect_shown 1 slider=100 desktop=1 black=0
e2e_wait_exit range
e2e_expect_eq "$E2E_RC" 1 "exit code of /c after OK"
e2e_expect_eq "$(ini)" $'[Gyrewell]\nCHRNUM=100\nPTNNUM=1' "out-of-range values replaced by OK"

# --- Text that is not a plain number goes through the platform's integer
# read and then the range test. Each case: CHRNUM text, PTNNUM text, the
# slider and the checked radio expected.
cases=(
  ' 150 |2|150|black'      # blanks around the number
  '150abc|2x|150|black'    # digits up to the first other character
  'abc||100|desktop'       # no digits; an empty value is missing
  '0x96|0x2|150|black'     # hexadecimal
  '-150|-2|100|desktop'    # negative: below the range
  '4294967295|1|100|desktop'  # wraps to -1
  '019|02|100|black'       # leading zero: 19 is below the range, 2 is black
)
i=0
for c in "${cases[@]}"; do
  IFS='|' read -r count mode want_count want_radio <<<"$c"
  i=$((i + 1))
  store '[Gyrewell]' "CHRNUM=$count" "PTNNUM=$mode"
  e2e_start "odd$i" scr /c
  drive "odd$i.drive" show click:2 gone
  if [[ $want_radio == black ]]; then
    expect_shown 1 "slider=$want_count" desktop=0 black=1
  else
    expect_shown 1 "slider=$want_count" desktop=1 black=0
  fi
  e2e_wait_exit "odd$i"
  e2e_expect_eq "$E2E_RC" 0 "exit code of /c after Cancel (case '$c')"
done

# Section and key names match without regard to letter case.
store '[gyrewell]' 'chrnum=42' 'PtnNum=2'
e2e_start case scr /c
drive case.drive show click:2 gone
expect_shown 1 slider=42 desktop=0 black=1
e2e_wait_exit case

# --- Started in another folder, without a user's file, the program reads
# that folder's file.
rm -f "$(user_ini)"
other=$E2E_DIR/other
mkdir -p "$other"
printf '[Gyrewell]\r\nCHRNUM=33\r\nPTNNUM=2\r\n' >"$other/Gyrewell.ini"
E2E_CWD=$other e2e_start other scr /c
drive other.drive show click:2 gone
expect_shown 1 slider=33 black=1
e2e_wait_exit other

e2e_pass
