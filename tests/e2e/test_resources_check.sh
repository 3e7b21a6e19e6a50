#!/usr/bin/env bash
# Gyrewell.scr carries the committed sprite sheet, the icon, the sound, the
# manifest and the settings dialog's template exactly as built from
# resources/: resource_check reads each back through the resource API.
source "$(dirname "$0")/lib.sh"

e2e_display
mkdir -p "$E2E_CWD"
cp "$E2E_SCR" "$E2E_CWD/Gyrewell.scr"
cp "$E2E_SOURCE_DIR/resources/sheet.bmp" "$E2E_CWD/sheet.bmp"
e2e_run check resource_check Gyrewell.scr sheet.bmp
cat "$(e2e_out check)"
for what in DATA001 ICON1 WAVE01 manifest dialog; do
  grep -qx "ok $what" <(tr -d '\r' <"$(e2e_out check)") || e2e_fail "resource $what: $(grep -m1 "$what" "$(e2e_out check)" || echo 'no report')"
done
e2e_expect_eq "$E2E_RC" 0 "exit code of resource_check"
e2e_pass
