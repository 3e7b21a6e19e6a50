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

# western_locale: as e2e_japanese_locale, an en_US locale (ANSI code page
# 1252) made once per build tree and chosen for the programs started after it.
western_locale() {
  local dir=$E2E_BUILD_DIR/e2e/locale lockfd
  exec {lockfd}>"$E2E_BUILD_DIR/e2e/locale.lock"
  flock -w 120 "$lockfd" || e2e_fail "waited 120 s for the locale lock"
  if [[ ! -f $dir/en_US.UTF-8/LC_CTYPE ]]; then
    mkdir -p "$dir"
    localedef -i en_US -f UTF-8 "$dir/en_US.UTF-8" >"$E2E_DIR/localedef.log" 2>&1 ||
      [[ -f $dir/en_US.UTF-8/LC_CTYPE ]] || e2e_fail "localedef en_US failed (see localedef.log)"
  fi
  exec {lockfd}>&-
  export LOCPATH=$dir
  export LC_ALL=en_US.UTF-8 2>/dev/null
}
