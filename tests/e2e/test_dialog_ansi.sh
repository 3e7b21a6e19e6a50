#!/usr/bin/env bash
# The settings dialog on the Windows 95/98/Me family, whose wide calls are
# stubs that fail: told it runs on Windows 98, in a Japanese locale (code page
# 932), the program makes the dialog, its count label and its failure message
# through the ANSI calls, and the user reads the same texts; the message names
# the working directory's file, the only one that family writes. Wine answers
# the wide calls even then, so the calls the program makes are read from a
# trace of them (Wine's relay log, narrowed to the calls in question, those
# whose return address lies in the program's own image).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialog.sh"

mkdir -p "$E2E_DIR"
e2e_japanese_locale
e2e_display 1024x768x24
e2e_wine
e2e_set_version win98 Gyrewell.scr
calls='user32.DialogBoxParamA;user32.DialogBoxParamW;user32.SetDlgItemTextA;user32.SetDlgItemTextW'
calls+=';user32.MessageBoxA;user32.MessageBoxW;kernel32.GetFileAttributesW;kernel32.GetPrivateProfileIntW'
calls+=';kernel32.WritePrivateProfileStringW;kernel32.GetFullPathNameW'
e2e_driver reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ /d "$calls" /f
e2e_expect_eq "$E2E_RC" 0 "reg add RelayInclude"

# The working directory's file is in the way: OK cannot save.
mkdir -p "$E2E_CWD/Gyrewell.ini"
WINEDEBUG=+relay e2e_start config scr /c
drive texts.drive pos:77 texts
e2e_expect_eq "$(e2e_field "$(grep '^caption ' <<<"$SHOWN")" hex)" "$(utf16 "$caption")" "caption"
expect_text 1 "ＯＫ"
expect_text 1043 "77　"
expect_text 1044 "そのまま"
drive failed.drive click:1 msgbox open
box=$(grep '^msgbox ' <<<"$SHOWN")
path="Z:${E2E_CWD//\//\\}\\Gyrewell.ini"
e2e_expect_eq "$(e2e_field "$box" text16)" "$(utf16 "次のファイルに設定を保存できませんでした。")000d000a$(utf16 "$path")" \
  "message text"
drive dismissed.drive msgbox-ok click:2 gone
e2e_wait_exit config
e2e_expect_eq "$E2E_RC" 0 "exit code of /c after Cancel"

# Calls from the program's own image (the 64-bit image lies at 0x140000000).
own=$(grep -aE ':Call (user32|kernel32)\.[A-Za-z]+\(.*ret=0*14[0-9a-f]{7}$' "$(e2e_err config)" |
  sed -E 's/.*:Call [a-z0-9]+\.([A-Za-z]+)\(.*/\1/' | sort -u | tr '\n' ' ')
e2e_log "calls from the program: $own"
e2e_expect_eq "$own" "DialogBoxParamA MessageBoxA SetDlgItemTextA " "the dialog's calls on the Windows 98 family"
e2e_pass
