# lib.sh - harness of the Wayland program's tests (and of scripts/wayland-cpu).
#
# The X11 tests' harness (tests/x11/lib.sh) gives the run folder, x11_start,
# x11_stop, x11_alive, x11_until, x11_fail and x11_log, and keeps every
# failure's run folder (screenshots, each program's output) in
# $X11_BUILD_DIR/wayland-artifacts/<test>/. This adds a headless sway:
#
#   wl_compositor OUTPUT...   sway with the headless backend and the pixman
#                             renderer, as user 65534 (sway refuses root), in a
#                             private runtime folder; one OUTPUT (WxH, in
#                             pixels, perhaps @SCALE and :TRANSFORM, sway's
#                             90, flipped, ...) for each of HEADLESS-1,
#                             HEADLESS-2, ..., side by side, each showing a
#                             desktop picture of its own (swaybg); waits until
#                             they do and keeps what each shows as
#                             $X11_DIR/desktop-N.png
#   WL_AS                     a command prefix: as that user, on that compositor
#   wl_msg ARGS               swaymsg
#   wl_shot N FILE            grim's picture of HEADLESS-N
#   wl_same A B               A and B equal, pixel for pixel (else the count on
#                             standard error and A-diff.png beside A)
# GYREWELL_WAYLAND is the program, RENDER_FRAMES the renderer.
X11_KIND=wayland
# shellcheck source=../x11/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../x11/lib.sh"
GYREWELL_WAYLAND=${GYREWELL_WAYLAND:-$X11_BUILD_DIR/wayland/gyrewell-wayland}
RENDER_FRAMES=${RENDER_FRAMES:-$X11_BUILD_DIR/tools/render_frames}
unset WAYLAND_DISPLAY SWAYSOCK
chmod 755 "$X11_DIR"

wl_msg() { "${WL_AS[@]}" env SWAYSOCK="$WL_SWAYSOCK" swaymsg "$@" >/dev/null; }
wl_shot() { "${WL_AS[@]}" grim -o "HEADLESS-$1" - >"$2"; }

wl_same() {
  local count
  count=$(compare -metric AE "$1" "$2" "${1%.png}-diff.png" 2>&1) && return 0
  echo "$count pixels of $(basename "$1") differ from $(basename "$2")" >&2
  return 1
}

wl_compositor() {
  local run=$X11_DIR/run home=$X11_DIR/home n=0 x=0 output size scale turn config=$X11_DIR/sway.config
  mkdir -p "$run" "$home"
  chown 65534:65534 "$run" "$home"
  chmod 700 "$run"
  local as=(setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$home" XDG_RUNTIME_DIR="$run")
  : >"$config"
  for output in "$@"; do
    n=$((n + 1))
    [[ $output =~ ^([0-9]+)x([0-9]+)(@([0-9]+))?(:([a-z0-9-]+))?$ ]] || x11_fail "wl_compositor: bad output $output"
    size=${BASH_REMATCH[1]}x${BASH_REMATCH[2]} scale=${BASH_REMATCH[4]:-1} turn=${BASH_REMATCH[6]:-normal}
    # Its own desktop: a gradient under a grid, different on every output.
    convert -size "$size" -depth 8 "gradient:#$((20 + 30 * n))6040-#2050$((60 + 10 * n))" \
      -fill none -stroke '#e0e0d0' -draw "path 'M 0,0 L ${BASH_REMATCH[1]},${BASH_REMATCH[2]}'" \
      "$X11_DIR/desktop-file-$n.png"
    chmod 644 "$X11_DIR/desktop-file-$n.png"
    echo "output HEADLESS-$n resolution $size position $x 0 scale $scale transform $turn" \
      "bg $X11_DIR/desktop-file-$n.png fill" >>"$config"
    x=$((x + (BASH_REMATCH[1] > BASH_REMATCH[2] ? BASH_REMATCH[1] : BASH_REMATCH[2]) / scale))
  done
  chmod 644 "$config"
  x11_start sway "${as[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 sway -c "$config"
  x11_until 20 bash -c "ls '$run'/sway-ipc.*.sock && ls '$run'/wayland-[0-9]" >/dev/null ||
    x11_fail "sway did not start (see sway.err)"
  WL_SWAYSOCK=$(ls "$run"/sway-ipc.*.sock)
  WL_AS=("${as[@]}" WAYLAND_DISPLAY="$(basename "$(ls "$run"/wayland-[0-9] | head -n 1)")")
  local i
  for ((i = 2; i <= n; i++)); do wl_msg create_output || x11_fail "no output HEADLESS-$i"; done
  # The config is read again for the outputs made since.
  wl_msg reload || x11_fail "sway did not take its config again"
  for ((i = 1; i <= n; i++)); do
    x11_until 20 wl_desktop_shown "$i" || x11_fail "HEADLESS-$i shows no desktop"
  done
}

# The output shows its picture (not a plain colour): kept as desktop-N.png.
wl_desktop_shown() {
  wl_shot "$1" "$X11_DIR/desktop-$1.png" &&
    [[ $(convert "$X11_DIR/desktop-$1.png" -format '%[fx:standard_deviation > 0.01]' info:) == 1 ]]
}
