#!/usr/bin/env bash
# Outputs that go away and come while it runs. A headless output cannot be
# removed, so the saver runs in a second sway nested in the first (its
# outputs WL-1, WL-2, ... are windows there): closing WL-2's window takes
# that output away; WL-1 goes on drawing; an output made then gets a field
# of its own. SIGINT ends it with status 0.
source "$(dirname "$0")/lib.sh"
wl_compositor 1200x600
nested=("${WL_AS[@]:0:${#WL_AS[@]}-1}")  # as that user, without the outer WAYLAND_DISPLAY
printf 'output * bg #305070 solid_color\n' >"$X11_DIR/nested.config"
chmod 644 "$X11_DIR/nested.config"
before=$(ls "$X11_DIR/run")
x11_start nested "${WL_AS[@]}" WLR_BACKENDS=wayland WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
  sway -c "$X11_DIR/nested.config"
x11_until 20 bash -c "ls '$X11_DIR/run' | grep -vxF '$before' | grep -q '^sway-ipc'" || x11_fail "no nested sway"
socket=$X11_DIR/run/$(ls "$X11_DIR/run" | grep -vxF "$before" | grep '^sway-ipc' | head -n 1)
display=$(ls "$X11_DIR/run" | grep -vxF "$before" | grep -x 'wayland-[0-9]*' | head -n 1)
nested+=(WAYLAND_DISPLAY="$display" SWAYSOCK="$socket")
inner() { "${nested[@]}" "$@"; }
inner swaymsg create_output >/dev/null || x11_fail "no second nested output"

# The output shows the animation: two pictures of it a moment apart differ.
moving() {
  inner grim -o "$1" - >"$X11_DIR/$1-a.png" && sleep 0.3 && inner grim -o "$1" - >"$X11_DIR/$1-b.png" &&
    ! wl_same "$X11_DIR/$1-a.png" "$X11_DIR/$1-b.png" 2>/dev/null
}
x11_start saver "${nested[@]}" "$GYREWELL_WAYLAND"
x11_until 30 moving WL-1 && x11_until 30 moving WL-2 || x11_fail "the nested outputs show no animation"

wl_msg '[title="wlroots - WL-2"] kill' || x11_fail "WL-2's window could not be closed"
sleep 1
x11_alive saver || x11_fail "the program ended when an output went away"
moving WL-1 || x11_fail "WL-1 stood still after WL-2 went away"
inner swaymsg create_output >/dev/null || x11_fail "no new nested output"
x11_until 30 moving WL-3 || x11_fail "the new output WL-3 shows no animation"

kill -INT "${X11_PID[saver]}"
x11_until 10 bash -c "! kill -0 ${X11_PID[saver]}" || x11_fail "SIGINT did not end it"
X11_RC=0
wait "${X11_PID[saver]}" || X11_RC=$?
((X11_RC == 0)) || x11_fail "SIGINT ended it with status $X11_RC"
