#!/usr/bin/env bash
# The installer as winget and deployment tools run it, in a fresh prefix:
#   - setup.exe /S installs, for this user only, into
#     %LOCALAPPDATA%\Programs\Gyrewell the 64-bit program (this is a 64-bit
#     Windows), its README.txt and LICENSE.txt as the win64 zip has them, and
#     the uninstaller; makes it the screen saver (SCRNSAVE.EXE); adds the two
#     Start-menu entries and every uninstall value; writes nothing under HKLM
#     and nothing into the Windows folder; and the installed saver runs;
#   - a newer build installed over it replaces it and keeps the user's
#     settings;
#   - the quiet uninstall string leaves no file, shortcut or entry behind,
#     clears SCRNSAVE.EXE and keeps the settings (it asks about them only
#     when run interactively).
# Only what the installer did counts, never its exit code alone. The release
# installer is a 32-bit program, which this machine cannot run: the test
# builds the same script as a 64-bit program (scripts/package with
# GYREWELL_SETUP_TARGET=amd64-unicode), needing the 32-bit tree's build for
# the program it carries beside the 64-bit one.
source "$(dirname "$0")/lib.sh"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$E2E_BUILD_DIR/CMakeCache.txt")
GYREWELL_SETUP_TARGET=amd64-unicode GYREWELL_BUILD_DIR=$E2E_BUILD_DIR \
  bash "$E2E_SOURCE_DIR/scripts/package" --zip --setup --no-build --out "$E2E_DIR/dist" >"$E2E_DIR/package.out" 2>&1 ||
  e2e_fail "scripts/package failed: $(tail -n 5 "$E2E_DIR/package.out")"
setup=$E2E_DIR/dist/Gyrewell-$version-setup.exe
[[ -f $setup ]] || e2e_fail "no $(basename "$setup")"

e2e_display 1024x768x24
e2e_wine
user=$(id -un)
home=$WINEPREFIX/drive_c/users/$user
installed=$home/AppData/Local/Programs/Gyrewell
installed_windows="C:\\users\\$user\\AppData\\Local\\Programs\\Gyrewell"
menu="$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Gyrewell"
settings=$home/AppData/Roaming/Gyrewell/Gyrewell.ini
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Gyrewell'

# The prefix's own path of a C: path.
unix_path() { local path=${1//\\//}; echo "$WINEPREFIX/drive_c${path#C:}"; }
# value KEY NAME: the value as reg query prints it, "" when there is none.
value() {
  _e2e_driver reg query "$1" /v "$2"
  tr -d '\r' <"$_e2e_last_out" | awk -v name="$2" '$1 == name { sub(/^ *[^ ]+ +[^ ]+ +/, ""); print }'
}
# What the machine-wide parts of the prefix hold: HKLM\Software, and every
# file of the Windows folder with its size and time.
machine() {
  e2e_driver reg export 'HKLM\Software' "Z:${1//\//\\}.reg" /y
  find "$WINEPREFIX/drive_c/windows" -type f -printf '%P %s %T@\n' | LC_ALL=C sort >"$1.files"
}
same_machine() {
  machine "$E2E_DIR/$1"
  cmp -s "$E2E_DIR/before.reg" "$E2E_DIR/$1.reg" ||
    e2e_fail "$2 changed HKLM\\Software: $(diff "$E2E_DIR/before.reg" "$E2E_DIR/$1.reg" | head -c 400)"
  cmp -s "$E2E_DIR/before.files" "$E2E_DIR/$1.files" ||
    e2e_fail "$2 changed the Windows folder: $(diff "$E2E_DIR/before.files" "$E2E_DIR/$1.files" | head -c 400)"
}
machine "$E2E_DIR/before"

# --- Silent install.
e2e_run setup "$setup" /S
[[ -d $installed ]] || e2e_fail "setup /S (exit $E2E_RC) installed nothing in $installed"
e2e_expect_eq "$(cd "$installed" && ls | LC_ALL=C sort | tr '\n' ' ')" "Gyrewell.scr LICENSE.txt README.txt uninstall.exe " \
  "installed files"
unzip -q "$E2E_DIR/dist/Gyrewell-$version-win64.zip" -d "$E2E_DIR/win64"
for file in Gyrewell.scr README.txt LICENSE.txt; do
  cmp -s "$installed/$file" "$E2E_DIR/win64/$file" || e2e_fail "the installed $file is not the win64 zip's"
done
e2e_expect_eq "$(value 'HKCU\Control Panel\Desktop' SCRNSAVE.EXE)" "$installed_windows\\Gyrewell.scr" "SCRNSAVE.EXE"
e2e_expect_eq "$(cd "$menu" && ls | LC_ALL=C sort | tr '\n' ' ')" \
  "Gyrewell settings.lnk Use Gyrewell as screen saver.lnk " "Start-menu entries"
# A shortcut holds its target and arguments as UTF-16 text.
link() { strings -el -n 2 "$menu/$1.lnk" | tr '\n' ' '; }
e2e_expect_match "$(link 'Gyrewell settings')" 'Gyrewell\.scr .*/c' "the settings entry"
e2e_expect_match "$(link 'Use Gyrewell as screen saver')" 'rundll32\.exe.*desk\.cpl,InstallScreenSaver "[^"]*Gyrewell\.scr"' \
  "the entry that makes it the screen saver"
for expected in "DisplayName=Gyrewell" "DisplayVersion=$version" "Publisher=The Gyrewell authors" \
  "DisplayIcon=$installed_windows\\Gyrewell.scr,0" "InstallLocation=$installed_windows" \
  "UninstallString=\"$installed_windows\\uninstall.exe\"" "QuietUninstallString=\"$installed_windows\\uninstall.exe\" /S" \
  "NoModify=0x1" "NoRepair=0x1"; do
  e2e_expect_eq "$(value "$uninstall_key" "${expected%%=*}")" "${expected#*=}" "uninstall value ${expected%%=*}"
done
size=$(($(value "$uninstall_key" EstimatedSize)))
kib=$(($(find "$installed" -type f -printf '%s\n' | paste -sd+ | bc) / 1024))
((size > 0 && size >= kib - 2 && size <= kib + 2)) || e2e_fail "EstimatedSize is $size KiB, the folder holds $kib KiB"
same_machine installed "the install"

# The installed saver runs as Windows starts it.
e2e_mouse_move 500 380
e2e_start saver "$installed/Gyrewell.scr" /s
e2e_wait_shown --class WindowsScreenSaverClass --title "Screen Saver"
sleep 1
e2e_key a
e2e_wait_exit saver 10
e2e_expect_eq "$E2E_RC" 0 "exit code of the installed Gyrewell.scr /s after a key"

# --- A newer build over it keeps the user's settings.
mkdir -p "$(dirname "$settings")"
printf '[Gyrewell]\r\nCHRNUM=170\r\nPTNNUM=2\r\n' >"$settings"
mkdir -p "$E2E_DIR/stage"
unzip -q "$E2E_DIR/dist/Gyrewell-$version-win32.zip" -d "$E2E_DIR/stage/win32"
cp -r "$E2E_DIR/win64" "$E2E_DIR/stage/win64"
printf 'newer' >>"$E2E_DIR/stage/win64/README.txt"
makensis -V2 -DVERSION=99.99 -DSTAGE="$E2E_DIR/stage" -DOUTFILE="$E2E_DIR/newer-setup.exe" -DTARGET=amd64-unicode \
  "$E2E_SOURCE_DIR/packaging/setup.nsi" >"$E2E_DIR/makensis.out" 2>&1 || e2e_fail "makensis: $(tail -n 5 "$E2E_DIR/makensis.out")"
e2e_run newer "$E2E_DIR/newer-setup.exe" /S
e2e_expect_eq "$(value "$uninstall_key" DisplayVersion)" 99.99 "DisplayVersion after the newer install"
cmp -s "$installed/README.txt" "$E2E_DIR/stage/win64/README.txt" || e2e_fail "the newer install did not replace README.txt"
e2e_expect_eq "$(tr -d '\r' <"$settings")" $'[Gyrewell]\nCHRNUM=170\nPTNNUM=2' "the settings after the newer install"

# --- The quiet uninstall string, as a package manager runs it. NSIS's
# uninstaller starts a copy of itself and ends: wait for what it does.
quiet=$(value "$uninstall_key" QuietUninstallString)
[[ $quiet =~ ^\"([^\"]+)\"\ (.*)$ ]] || e2e_fail "QuietUninstallString '$quiet' is not a quoted program and its switches"
e2e_run uninstall "$(unix_path "${BASH_REMATCH[1]}")" "${BASH_REMATCH[2]}"
deadline=$(($(e2e_now_ms) + 30000))
until [[ ! -e $installed && ! -e $menu && -z $(value "$uninstall_key" DisplayName) ]]; do
  (($(e2e_now_ms) < deadline)) || break
  sleep 0.5
done
[[ ! -e $installed ]] || e2e_fail "the uninstall left $(ls -A "$installed" | tr '\n' ' ')in the install folder"
[[ ! -e $menu ]] || e2e_fail "the uninstall left the Start-menu folder: $(ls -A "$menu" | tr '\n' ' ')"
e2e_expect_eq "$(value "$uninstall_key" DisplayName)" "" "the uninstall entry after the uninstall"
e2e_expect_eq "$(value 'HKCU\Control Panel\Desktop' SCRNSAVE.EXE)" "" "SCRNSAVE.EXE after the uninstall"
[[ -f $settings ]] || e2e_fail "the quiet uninstall deleted the user's settings"
same_machine uninstalled "the install and uninstall"
e2e_pass
