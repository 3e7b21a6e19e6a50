#!/usr/bin/env bash
# OK when neither settings file can be written (the current folder's nor the
# user's own): the dialog stays open, a message box owned by it names both
# files, nothing is written, and OK ends /c (with 1) only once a write has
# worked. The user's file is kept out by a folder of its name; the current
# folder's by the same, and (where this machine lets us mount) by a read-only
# working directory.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialog.sh"

# Run the whole test in a private mount namespace when possible, so that the
# read-only folder mounted below disappears with the test, however it ends.
if [[ -z ${DIALOG_TEST_NAMESPACE:-} ]] && unshare -m --propagation private true 2>/dev/null; then
  DIALOG_TEST_NAMESPACE=1 exec unshare -m --propagation private "$BASH" "$0" "$@"
fi

hex() { printf '%s' "$1" | od -An -tx1 | tr -d ' \n'; }

# "次のファイルに設定を保存できませんでした。" in code page 932, then after a line
# break each the files in the order tried: the user's, and the full path of
# the current folder's file as the program sees it.
expected_message() {
  local path="Z:${1//\//\\}"
  printf '%s0d0a%s0d0a%s' "$(printf '次のファイルに設定を保存できませんでした。' | iconv -f UTF-8 -t CP932 | od -An -tx1 | tr -d ' \n')" \
    "$(hex "$(user_ini_windows)")" "$(hex "$path")"
}

mkdir -p "$E2E_DIR"
e2e_japanese_locale
e2e_display 1024x768x24
e2e_wine

# --- Folders named Gyrewell.ini are in the way, here and in the user's place.
mkdir -p "$E2E_CWD/Gyrewell.ini" "$(user_ini)"
e2e_start blocked scr /c
drive blocked.drive pos:150 click:1045 click:1 msgbox open
box=$(grep '^msgbox ' <<<"$SHOWN")
e2e_expect_eq "$(e2e_field "$box" owner)" dialog "owner of the message box"
e2e_expect_eq "$(e2e_field "$box" text)" "$(expected_message "$E2E_CWD/Gyrewell.ini")" "message text"
e2e_screenshot save-failure
# Dismissing the message leaves the dialog with the user's choice.
drive blocked.again msgbox-ok open show
e2e_expect_match "$(grep '^dialog ' <<<"$SHOWN")" ' slider=150 .* black=1 ' "dialog after the message"
e2e_alive blocked || e2e_fail "/c ended although nothing was saved"
e2e_expect_eq "$(find "$E2E_CWD" "$(dirname "$(user_ini)")" -type f)" "" "files written by the failed OK"
# Once the way is clear, OK saves and ends with 1.
rmdir "$E2E_CWD/Gyrewell.ini"
drive blocked.ok click:1 gone
e2e_wait_exit blocked
e2e_expect_eq "$E2E_RC" 1 "exit code of /c after a later successful OK"
e2e_expect_eq "$(tr -d '\r' <"$E2E_CWD/Gyrewell.ini")" $'[Gyrewell]\nCHRNUM=150\nPTNNUM=2' "file after the retry"

# Cancel after a failed OK ends with 0.
rm -f "$E2E_CWD/Gyrewell.ini"
mkdir -p "$E2E_CWD/Gyrewell.ini"
e2e_start gaveup scr /c
drive gaveup.drive click:1 msgbox-ok click:2 gone
e2e_wait_exit gaveup
e2e_expect_eq "$E2E_RC" 0 "exit code of /c after a failed OK and Cancel"

# --- A read-only working directory (a read-only tmpfs in our own mount namespace).
# Outside the run folder, so that a failure can still move that folder away.
readonly_dir=$E2E_DIR.readonly
mkdir -p "$readonly_dir"
if [[ -n ${DIALOG_TEST_NAMESPACE:-} ]] && mount -t tmpfs -o ro,size=64k tmpfs "$readonly_dir" 2>/dev/null; then
  E2E_CWD=$readonly_dir e2e_start readonly scr /c
  drive readonly.drive click:1 msgbox open
  box=$(grep '^msgbox ' <<<"$SHOWN")
  e2e_expect_eq "$(e2e_field "$box" owner)" dialog "owner of the message box (read-only folder)"
  e2e_expect_eq "$(e2e_field "$box" text)" "$(expected_message "$readonly_dir/Gyrewell.ini")" \
    "message text (read-only folder)"
  drive readonly.cancel msgbox-ok click:2 gone
  e2e_wait_exit readonly
  e2e_expect_eq "$E2E_RC" 0 "exit code of /c in a read-only folder after Cancel"
  umount "$readonly_dir" || true
  rmdir "$readonly_dir" || true
else
  rmdir "$readonly_dir" || true
  e2e_log "no private mount namespace here: read-only folder case skipped"
fi

e2e_pass
