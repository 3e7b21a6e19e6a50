#!/usr/bin/env bash
# The release zip as a Windows user gets it: scripts/package packs this build
# tree's Gyrewell.scr; the zip holds exactly the four files, their checksums
# hold, the texts have Windows line ends and the version, the version resource
# reads as Explorer's Properties would show it, and the packaged saver runs:
# /s, a key, exit code 0.
source "$(dirname "$0")/lib.sh"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$E2E_BUILD_DIR/CMakeCache.txt")
[[ $version =~ ^([0-9]+)\.([0-9]+)$ ]] || e2e_fail "no MAJOR.MINOR version in the build tree: '$version'"
numbers="${BASH_REMATCH[1]}.$((10#${BASH_REMATCH[2]})).0.0"

GYREWELL_BUILD_DIR=$E2E_BUILD_DIR bash "$E2E_SOURCE_DIR/scripts/package" --zip --no-build --out "$E2E_DIR/dist" \
  >"$E2E_DIR/package.out" 2>&1 || e2e_fail "scripts/package failed: $(tail -n 5 "$E2E_DIR/package.out")"
zip_file=$E2E_DIR/dist/Gyrewell-$version-win64.zip
[[ -f $zip_file ]] || e2e_fail "no $(basename "$zip_file"): $(ls "$E2E_DIR/dist")"
e2e_expect_eq "$(unzip -Z1 "$zip_file" | tr '\n' ' ')" "Gyrewell.scr README.txt LICENSE.txt SHA256SUMS " "zip contents"

unpacked=$E2E_DIR/unpacked
mkdir -p "$unpacked"
unzip -q "$zip_file" -d "$unpacked"
(cd "$unpacked" && sha256sum -c --quiet SHA256SUMS) >"$E2E_DIR/sha256sum.out" 2>&1 ||
  e2e_fail "SHA256SUMS does not hold: $(cat "$E2E_DIR/sha256sum.out")"
e2e_expect_eq "$(grep -c '' "$unpacked/SHA256SUMS")" 3 "lines of SHA256SUMS"

for text in README.txt LICENSE.txt SHA256SUMS; do
  lines=$(grep -c '' "$unpacked/$text")
  e2e_expect_eq "$(grep -c $'\r$' "$unpacked/$text")" "$lines" "lines of $text ending in CRLF"
done
e2e_expect_eq "$(head -c 3 "$unpacked/README.txt" | od -An -tx1 | tr -d ' ')" efbbbf "README.txt's byte-order mark"
[[ $(head -n1 "$unpacked/README.txt") == $'\xef\xbb\xbf'"Gyrewell $version - "* ]] || e2e_fail "README.txt does not name version $version"
! grep -q '@[A-Z]*@' "$unpacked/README.txt" || e2e_fail "README.txt holds an unfilled placeholder"
grep -q '^MIT License' "$unpacked/LICENSE.txt" || e2e_fail "LICENSE.txt is not the licence"

e2e_display 1280x800x24
e2e_wine
e2e_driver version_info "Z:${unpacked//\//\\}\\Gyrewell.scr"
info=$(tr -d '\r' <"$E2E_DRIVER_OUT")
[[ $E2E_RC -eq 0 ]] || e2e_fail "version_info: $info"
for want in "file=$numbers" "product=$numbers" "file_version=$version" "product_version=$version" \
  "product_name=Gyrewell" "description=Gyrewell screen saver" "original=Gyrewell.scr"; do
  e2e_expect_eq "$(e2e_field "$info" "${want%%=*}")" "${want#*=}" "${want%%=*} of the version resource"
done
e2e_expect_match "$(e2e_field "$info" copyright)" '^Copyright © [0-9]{4} ' "copyright of the version resource"

e2e_mouse_move 640 400
E2E_CWD=$unpacked e2e_start saver "$unpacked/Gyrewell.scr" /s
e2e_wait_shown --class WindowsScreenSaverClass --title "Screen Saver"
sleep 1
e2e_key a
e2e_wait_exit saver 10
e2e_expect_eq "$E2E_RC" 0 "exit code of the packaged Gyrewell.scr /s after a key"
e2e_pass
