# dialog_texts.sh - the body of the per-locale tests of the settings dialog's
# texts (test_dialog_texts_ja.sh, test_dialog_texts_en.sh). Source it after
# lib.sh and dialog.sh, once a locale is chosen.
#
# Whatever the system's ANSI code page, the user must read the same dialog:
# the caption, every control and the count label, read back as UTF-16, and the
# message shown when the settings cannot be written, which names the files by
# their full paths (here in a folder whose name no single code page holds). The
# glyphs are drawn too: the upper group box's caption has the ink of
# full-width text. After all that, OK writes the same bytes as ever.
#
# DIALOG_SHOT=FILE copies the dialog's picture there (for README).


e2e_display 1024x768x24
e2e_wine
if [[ $LC_ALL != ja_* ]]; then
  # A Western Windows draws the dialog's face, "ＭＳ ゴシック", once the
  # Japanese fonts are installed; Wine maps that name to a Japanese font only
  # under a Japanese code page. Here VL Gothic stands in for it, as it does
  # there.
  e2e_driver reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /t REG_SZ /d 'VL Gothic' /f
  e2e_expect_eq "$E2E_RC" 0 "reg add of the font replacement"
fi
E2E_CWD=$E2E_DIR/設定-Müller
# Folders in the way, here and where the user's own file would go: OK cannot save.
mkdir -p "$E2E_CWD/Gyrewell.ini" "$(user_ini)"

e2e_start config scr /c
drive texts.drive texts
e2e_expect_eq "$(e2e_field "$(grep '^caption ' <<<"$SHOWN")" hex)" "$(utf16 "$caption")" "caption"
expect_text 1 "ＯＫ"
expect_text 2 "ｷｬﾝｾﾙ"
expect_text 1042 "Slider1"
expect_text 1043 "100　"
expect_text 1044 "そのまま"
expect_text 1045 "ブラック"
boxes=$(grep '^text id=-1 ' <<<"$SHOWN" | sed 's/.*hex=//' | tr '\n' ' ')
e2e_expect_eq "$boxes" "$(utf16 'うさぎ（にんじん、花）の数') $(utf16 'デスクトップ') " "group box texts"

drive moved.drive pos:77 click:1045 texts
expect_text 1043 "77　"

# The picture, and the ink of the upper group box's caption: a band across the
# top of the client area. Thirteen full-width characters of a 10-point face
# span well over 100 pixels; question marks or a missing face would not.
sleep 0.5
e2e_wait_window --class '#32770' --title "$caption"
IFS=, read -r left top right bottom <<<"$(e2e_field "$E2E_WINDOW" rect)"
client=$(e2e_field "$E2E_WINDOW" client)
cw=${client%x*} ch=${client#*x}
border=$(((right - left - cw) / 2))
ctop=$((bottom - border - ch))
e2e_screenshot dialog
band=$(/usr/bin/convert "$E2E_SHOT" -crop "$((cw / 2))x24+$((left + border))+$((ctop + 2))" +repage \
  -threshold 40% -negate -trim -format '%w' info: 2>/dev/null || echo 0)
e2e_log "caption band ink width: $band px"
((band > 120)) || e2e_fail "the group box caption's glyphs are missing (ink $band px wide)"
if [[ -n ${DIALOG_SHOT:-} ]]; then
  /usr/bin/convert "$E2E_SHOT" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "PNG24:$DIALOG_SHOT"
fi

# The message names both files in full, in UTF-16, whatever the folder's name.
drive failed.drive click:1 msgbox open
box=$(grep '^msgbox ' <<<"$SHOWN")
e2e_expect_eq "$(e2e_field "$box" owner)" dialog "owner of the message box"
path="Z:${E2E_CWD//\//\\}\\Gyrewell.ini"
e2e_expect_eq "$(e2e_field "$box" text16)" \
  "$(utf16 "次のファイルに設定を保存できませんでした。")000d000a$(utf16 "$(user_ini_windows)")000d000a$(utf16 "$path")" \
  "message text"

# Once the way is clear, OK writes the file exactly as it always has.
drive dismissed.drive msgbox-ok open
rmdir "$E2E_CWD/Gyrewell.ini"
drive saved.drive click:1 gone
e2e_wait_exit config
e2e_expect_eq "$E2E_RC" 1 "exit code of /c after OK"
e2e_expect_eq "$(od -An -c "$E2E_CWD/Gyrewell.ini" | tr -s ' \n' ' ')" \
  "$(printf '[Gyrewell]\r\nCHRNUM=77\r\nPTNNUM=2\r\n' | od -An -c | tr -s ' \n' ' ')" "settings file"
