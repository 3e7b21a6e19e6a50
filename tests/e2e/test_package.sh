#!/usr/bin/env bash
# The release zips as a Windows user gets them: scripts/package packs this
# build tree's Gyrewell.scr (win64) and the 32-bit tree's (win32, which must
# be built: scripts/test builds it first); each zip holds exactly the four
# files, their checksums hold, the texts have Windows line ends, the version
# and only their own zip's parts of README.txt, and packing again gives the
# same bytes. The 64-bit version resource reads as Explorer's Properties would
# show it, and the packaged 64-bit saver runs: /s, a key, exit code 0. (The
# 32-bit program cannot run here; its imports are audited in its own tree.)
source "$(dirname "$0")/lib.sh"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$E2E_BUILD_DIR/CMakeCache.txt")
[[ $version =~ ^([0-9]+)\.([0-9]+)$ ]] || e2e_fail "no MAJOR.MINOR version in the build tree: '$version'"
numbers="${BASH_REMATCH[1]}.$((10#${BASH_REMATCH[2]})).0.0"

pack() {   # OUT
  GYREWELL_BUILD_DIR=$E2E_BUILD_DIR bash "$E2E_SOURCE_DIR/scripts/package" --zip --no-build --out "$1" \
    >"$1.out" 2>&1 || e2e_fail "scripts/package failed: $(tail -n 5 "$1.out")"
}
pack "$E2E_DIR/dist"
pack "$E2E_DIR/again"

for bits in 64 32; do
  zip_file=$E2E_DIR/dist/Gyrewell-$version-win$bits.zip
  [[ -f $zip_file ]] || e2e_fail "no $(basename "$zip_file"): $(ls "$E2E_DIR/dist")"
  cmp -s "$zip_file" "$E2E_DIR/again/$(basename "$zip_file")" || e2e_fail "$(basename "$zip_file") differs when packed again"
  e2e_expect_eq "$(unzip -Z1 "$zip_file" | tr '\n' ' ')" "Gyrewell.scr README.txt LICENSE.txt SHA256SUMS " "win$bits zip contents"

  unpacked=$E2E_DIR/unpacked$bits
  mkdir -p "$unpacked"
  unzip -q "$zip_file" -d "$unpacked"
  (cd "$unpacked" && sha256sum -c --quiet SHA256SUMS) >"$E2E_DIR/sha256sum.out" 2>&1 ||
    e2e_fail "win$bits SHA256SUMS does not hold: $(cat "$E2E_DIR/sha256sum.out")"
  e2e_expect_eq "$(grep -c '' "$unpacked/SHA256SUMS")" 3 "lines of SHA256SUMS"

  for text in README.txt LICENSE.txt SHA256SUMS; do
    lines=$(grep -c '' "$unpacked/$text")
    e2e_expect_eq "$(grep -c $'\r$' "$unpacked/$text")" "$lines" "lines of win$bits $text ending in CRLF"
  done
  e2e_expect_eq "$(head -c 3 "$unpacked/README.txt" | od -An -tx1 | tr -d ' ')" efbbbf "README.txt's byte-order mark"
  [[ $(head -n1 "$unpacked/README.txt") == $'\xef\xbb\xbf'"Gyrewell $version - "* ]] ||
    e2e_fail "win$bits README.txt does not name version $version"
  ! grep -q '@[A-Z0-9]*@' "$unpacked/README.txt" || e2e_fail "win$bits README.txt holds an unfilled placeholder"
  grep -q "^This is the $bits-bit one." "$unpacked/README.txt" || e2e_fail "win$bits README.txt does not say which it is"
  other=$((96 - bits))
  ! grep -q "^This is the $other-bit one." "$unpacked/README.txt" || e2e_fail "win$bits README.txt holds the win$other zip's text"
  grep -q '^MIT License' "$unpacked/LICENSE.txt" || e2e_fail "LICENSE.txt is not the licence"
done
e2e_expect_match "$(x86_64-w64-mingw32-objdump -f "$E2E_DIR/unpacked32/Gyrewell.scr")" 'file format pei-i386' \
  "the win32 zip's program"
grep -q $'^Windows 95, 98 and Me\r$' "$E2E_DIR/unpacked32/README.txt" || e2e_fail "the win32 README.txt lacks Windows 95/98/Me"
unpacked=$E2E_DIR/unpacked64

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
