#!/usr/bin/env bash
# The Debian package as scripts/package builds it, from a tree of the linux
# preset's own: its control fields and files, lintian's verdict, the manual
# page, and the program in it, unpacked and run. Packed a second time with
# another umask, time zone and file times, it is the same bytes.
source "$(dirname "$0")/lib.sh"

linux=$X11_BUILD_DIR/deb-linux
package() { GYREWELL_LINUX_BUILD_DIR=$linux bash "$X11_SOURCE_DIR/scripts/package" --deb "$@"; }
package --out "$X11_DIR/dist" >"$X11_DIR/package.out" 2>&1 ||
  x11_fail "scripts/package --deb failed: $(tail -n 5 "$X11_DIR/package.out")"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$linux/CMakeCache.txt")
deb=$X11_DIR/dist/gyrewell_${version}_$(dpkg --print-architecture).deb
[[ -f $deb ]] || x11_fail "no $(basename "$deb"): $(ls "$X11_DIR/dist")"

field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == gyrewell && $(field Version) == "$version" ]] ||
  x11_fail "package $(field Package) version $(field Version), not gyrewell $version"
depends=" $(field Depends | tr ',' '\n' | awk '{ print $1 }' | tr '\n' ' ')"
for lib in libc6 libx11-6 libxext6 libwayland-client0 libpng16-16; do
  [[ $depends == *" $lib "* ]] || x11_fail "Depends: $(field Depends)"
done
[[ $(field Recommends) == xscreensaver ]] || x11_fail "Recommends: $(field Recommends)"

dpkg-deb -c "$deb" | awk '{ print $2, $6 }' >"$X11_DIR/contents"
! grep -qv '^root/root ' "$X11_DIR/contents" || x11_fail "not owned by root: $(grep -v '^root/root ' "$X11_DIR/contents")"
for path in usr/libexec/xscreensaver/gyrewell usr/share/xscreensaver/config/gyrewell.xml \
  usr/share/man/man6/gyrewell.6.gz usr/bin/gyrewell-wayland usr/share/man/man6/gyrewell-wayland.6.gz \
  usr/share/doc/gyrewell/copyright; do
  grep -qx "root/root ./$path" "$X11_DIR/contents" || x11_fail "the package holds no $path"
done

lintian --pedantic --display-info "$deb" >"$X11_DIR/lintian.out" 2>&1 || x11_fail "lintian: $(tail -n 5 "$X11_DIR/lintian.out")"
! grep -E '^[EWIPX]: ' "$X11_DIR/lintian.out" || x11_fail "lintian has a word for it (above)"

unpacked=$X11_DIR/unpacked
dpkg -x "$deb" "$unpacked"
man --warnings -l "$unpacked/usr/share/man/man6/gyrewell.6.gz" 2>"$X11_DIR/man.err" >"$X11_DIR/man.out"
[[ ! -s $X11_DIR/man.err ]] || x11_fail "man: $(head -n 3 "$X11_DIR/man.err")"
grep -q -- '--window-id id' "$X11_DIR/man.out" || x11_fail "the manual page lists no --window-id"
man --warnings -l "$unpacked/usr/share/man/man6/gyrewell-wayland.6.gz" 2>"$X11_DIR/man.err" >"$X11_DIR/man-wayland.out"
[[ ! -s $X11_DIR/man.err ]] || x11_fail "man gyrewell-wayland: $(head -n 3 "$X11_DIR/man.err")"
grep -q 'swayidle' "$X11_DIR/man-wayland.out" || x11_fail "the Wayland manual page has no swayidle line"
"$unpacked/usr/bin/gyrewell-wayland" -help >"$X11_DIR/help-wayland.out" ||
  x11_fail "the packaged gyrewell-wayland -help gave status $?"

program=$unpacked/usr/libexec/xscreensaver/gyrewell
"$program" -help >"$X11_DIR/help.out" || x11_fail "the packaged gyrewell -help gave status $?"
x11_display 320x200x24
x11_start deb "$program" -root -frames 20
x11_until 30 grep -qx 'gyrewell: 20 frames shown' "$X11_DIR/deb.out" || x11_fail "the packaged gyrewell drew no 20 frames"
x11_stop deb
((X11_RC == 0)) || x11_fail "SIGTERM ended the packaged gyrewell with status $X11_RC"

touch -d 2001-02-03 "$linux/x11/gyrewell" "$linux/wayland/gyrewell-wayland"
(umask 077 && TZ=Pacific/Kiritimati package --no-build --out "$X11_DIR/again") >"$X11_DIR/again.out" 2>&1 ||
  x11_fail "packing again failed: $(tail -n 5 "$X11_DIR/again.out")"
cmp "$deb" "$X11_DIR/again/$(basename "$deb")" || x11_fail "packed twice from one build, the two differ"
