#!/usr/bin/env bash
# Settings where the current folder cannot be written, as in C:\Windows\System32
# for a standard user: OK saves to the user's own file, and the next dialog and
# the saver started from that folder read it.
#   - an empty read-only folder: OK ends /c with 1, the user's file holds both
#     keys, the dialog opened again shows them, /s draws the black field;
#   - a read-only folder with an administrator's Gyrewell.ini: the dialog shows
#     its values, OK saves to the user's file (the old one unchanged), and the
#     next dialog shows the user's choice;
#   - told it runs on Windows 98, the program reads and writes only the
#     working directory's file: the dialog shows that file's values, not the
#     user's file's, and OK changes only that file.
# Read-only means a read-only tmpfs in the test's own mount namespace: Wine
# runs as root here, so file modes alone would not stop a write.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialog.sh"

if [[ -z ${DIALOG_TEST_NAMESPACE:-} ]]; then
  unshare -m --propagation private true 2>/dev/null ||
    e2e_fail "this test needs a private mount namespace (unshare -m)"
  DIALOG_TEST_NAMESPACE=1 exec unshare -m --propagation private "$BASH" "$0" "$@"
fi

dialog_line() { grep '^dialog ' <<<"$SHOWN" | sed -n "${1}p"; }
crlf_less() { tr -d '\r' <"$1"; }

mkdir -p "$E2E_DIR"
e2e_display 1024x768x24
e2e_test_picture desk.png
e2e_set_desktop desk.png
e2e_wine

# Outside the run folder, so that a failure can still move that folder away.
folder=$E2E_DIR.system32
mkdir -p "$folder"
mount -t tmpfs -o ro,size=64k tmpfs "$folder" || e2e_fail "cannot mount a read-only folder"

# --- An empty folder nobody can write.
E2E_CWD=$folder e2e_start first scr /c
drive first.drive pos:150 click:1045 click:1 gone
e2e_wait_exit first
e2e_expect_eq "$E2E_RC" 1 "exit code of /c after OK in a read-only folder"
[[ -f $(user_ini) ]] || e2e_fail "OK wrote no $(user_ini)"
e2e_expect_eq "$(crlf_less "$(user_ini)")" $'[Gyrewell]\nCHRNUM=150\nPTNNUM=2' "the user's file"
e2e_expect_eq "$(ls -A "$folder")" "" "files in the read-only folder"

E2E_CWD=$folder e2e_start again scr /c
drive again.drive show click:2 gone
e2e_expect_match "$(dialog_line 1)" ' slider=150 .* desktop=0 black=1 ' "dialog opened again"
e2e_wait_exit again

# The saver from that folder: the black field with 150 sprites, not the
# desktop's bright quadrants with the pit.
E2E_CWD=$folder e2e_start saver scr /s
e2e_wait_shown --class WindowsScreenSaverClass
# Until the first frame is on the screen it shows the desktop: look again.
for shot in 1 2 3 4 5 6 7 8 9 10; do
  e2e_screenshot "saver-$shot"
  e2e_probe squares "$E2E_SHOT" 1
  lit=$(e2e_field "$E2E_PROBE" lit)
  ((lit >= E2E_SCREEN_W * E2E_SCREEN_H / 4)) || break
  sleep 0.5
done
((lit < E2E_SCREEN_W * E2E_SCREEN_H / 4)) ||
  e2e_fail "the saver showed $lit lit pixels in every shot: not the black field with sprites"
e2e_mouse_nudge 40 0
e2e_wait_exit saver
e2e_expect_eq "$E2E_RC" 0 "exit code of /s"

# --- A folder with an administrator's file in it that this user cannot change.
rm -rf "$(dirname "$(user_ini)")"
mount -o remount,rw "$folder"
printf '[Gyrewell]\r\nCHRNUM=60\r\nPTNNUM=2\r\n' >"$folder/Gyrewell.ini"
mount -o remount,ro "$folder"
old=$(od -An -tx1 "$folder/Gyrewell.ini")

E2E_CWD=$folder e2e_start admin scr /c
drive admin.drive show pos:180 click:1044 click:1 gone
e2e_expect_match "$(dialog_line 1)" ' slider=60 .* desktop=0 black=1 ' "dialog over the administrator's file"
e2e_wait_exit admin
e2e_expect_eq "$E2E_RC" 1 "exit code of /c after OK over a read-only file"
e2e_expect_eq "$(crlf_less "$(user_ini)")" $'[Gyrewell]\nCHRNUM=180\nPTNNUM=1' "the user's file"
e2e_expect_eq "$(od -An -tx1 "$folder/Gyrewell.ini")" "$old" "the administrator's file"

E2E_CWD=$folder e2e_start after scr /c
drive after.drive show click:2 gone
e2e_expect_match "$(dialog_line 1)" ' slider=180 .* desktop=1 black=0 ' "dialog after saving to the user's file"
e2e_wait_exit after

# --- The 95/98/Me family: the working directory's file alone.
before=$(od -An -tx1 "$(user_ini)")
old98=$E2E_DIR/old98
mkdir -p "$old98"
printf '[Gyrewell]\r\nCHRNUM=60\r\nPTNNUM=2\r\n' >"$old98/Gyrewell.ini"
e2e_set_version win98 Gyrewell.scr
E2E_CWD=$old98 e2e_start win98 scr /c
drive win98.drive show pos:90 click:1044 click:1 gone
e2e_expect_match "$(dialog_line 1)" ' slider=60 .* desktop=0 black=1 ' "dialog on Windows 98"
e2e_wait_exit win98
e2e_expect_eq "$E2E_RC" 1 "exit code of /c after OK on Windows 98"
e2e_expect_eq "$(crlf_less "$old98/Gyrewell.ini")" $'[Gyrewell]\nCHRNUM=90\nPTNNUM=1' "the folder's file on Windows 98"
e2e_expect_eq "$(od -An -tx1 "$(user_ini)")" "$before" "the user's file after OK on Windows 98"

umount "$folder" && rmdir "$folder" || true
e2e_pass
