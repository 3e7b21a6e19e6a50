# dialog.sh - what the settings dialog's end-to-end tests share; source it after
# lib.sh.

# drive NAME ACTION...: runs dialog_driver (see tests/drivers/dialog_driver.cpp)
# with the actions; its output lands in SHOWN, and a failure stops the test.
drive() {
  local name=$1
  shift
  e2e_run "$name" dialog_driver "$@"
  SHOWN=$(tr -d '\r' <"$(e2e_out "$name")")
  [[ $E2E_RC -eq 0 ]] || e2e_fail "dialog_driver $*: $SHOWN"
}

# western_locale: an en_US locale (ANSI code page 1252) for the programs
# started after it.
western_locale() { e2e_locale en_US; }

# The user's own settings file, %APPDATA%\Gyrewell\Gyrewell.ini, in the test's
# prefix (call after e2e_wine); user_ini_windows is the same as Windows names it.
user_ini() { printf '%s/drive_c/users/%s/AppData/Roaming/Gyrewell/Gyrewell.ini' "$WINEPREFIX" "$(id -un)"; }
user_ini_windows() { printf 'C:\\users\\%s\\AppData\\Roaming\\Gyrewell\\Gyrewell.ini' "$(id -un)"; }

# UTF-16 code units of a UTF-8 text, four hex digits each, as dialog_driver prints them.
utf16() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16BE | od -An -tx1 -v | tr -d ' \n'; }

# expect_text ID TEXT: the (first) control ID of the last "texts" output reads TEXT.
expect_text() {
  local line
  line=$(grep -m1 "^text id=$1 " <<<"$SHOWN" || true)
  e2e_expect_eq "$(e2e_field "$line" hex)" "$(utf16 "$2")" "text of control $1"
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$E2E_BUILD_DIR/CMakeCache.txt")
caption="Gyrewell Version $version"   # the dialog's caption
