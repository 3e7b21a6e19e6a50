#!/usr/bin/env bash
# The web zip as scripts/package packs this build: the same bytes when packed
# twice, and, unpacked and served as it is, the page it holds draws
# render_frames' frames (web_test.mjs frames-desktop).
#   bash tests/web/test_package.sh   (GYREWELL_SOURCE_DIR, GYREWELL_WEB_BUILD_DIR, WEB_TEST_OUT
#                                      and the web_test.mjs environment set by ctest)
set -euo pipefail
out=$WEB_TEST_OUT/package
rm -rf "$out"
mkdir -p "$out"
for pass in 1 2; do
  bash "$GYREWELL_SOURCE_DIR/scripts/package" --web --no-build --out "$out/$pass" >"$out/package-$pass.log" 2>&1 ||
    { echo "FAIL: scripts/package --web: $(tail -n 3 "$out/package-$pass.log")"; exit 1; }
done
zips=("$out"/1/Gyrewell-*-web.zip)
[[ -f ${zips[0]} ]] || { echo "FAIL: no Gyrewell-<version>-web.zip"; exit 1; }
cmp -s "${zips[0]}" "$out/2/$(basename "${zips[0]}")" || { echo "FAIL: two packings differ"; exit 1; }
unzip -q "${zips[0]}" -d "$out/unpacked"
GYREWELL_SITE=$out/unpacked/gyrewell WEB_TEST_OUT=$out node "$(dirname "$0")/web_test.mjs" frames-desktop
