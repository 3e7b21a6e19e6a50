#!/usr/bin/env bash
# XScreenSaver's settings program as a user meets it, run as an unprivileged
# user beside the real daemon, with the program installed by `cmake --install`:
# with gyrewell selected its preview pane shows the animation over the
# desktop; a setting changed in the dialog that gyrewell.xml describes reaches
# the preview's command line; after the settings window is resized the pane
# is drawn whole; and ending the settings program ends the preview (it sends
# SIGTERM and waits for it).
#
# The settings program reads the display modes' settings only from
# /usr/share/xscreensaver/config, its own compiled-in folder. The test writes
# nothing there: it runs the program in a mount namespace of its own (unshare,
# as root), in which the installed config folder lies over that one.
source "$(dirname "$0")/lib.sh"
x11_display 1024x768x24
"$X11_CHECK" desktop

# With the daemon running the settings program does not offer to start one,
# and the image helper gives the preview the desktop.
x11_daemon
program=$X11_PROGRAM home=$X11_HOME config=$X11_CONFIG
x11_start settings unshare --mount --propagation private \
  sh -c 'mount --bind "$0" /usr/share/xscreensaver/config && exec "$@"' "$config" \
  "${X11_AS_NOBODY[@]}" xscreensaver-settings

# The preview whose arguments (joined by spaces) match $1: its pid.
preview() {
  local pid args
  for pid in $(pgrep -u 65534 -f "^$program "); do
    args=$(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null) || continue
    [[ $args =~ $1 ]] && { echo "$pid"; return 0; }
  done
  return 1
}
shot() { import -window root "$X11_DIR/$1.png" 2>/dev/null || true; }

# The preview: gyrewell in the pane, the pane's id last on its command line.
x11_until 30 preview ' -root --window-id 0x[0-9a-fA-F]+ $' >"$X11_DIR/preview.pid" ||
  { shot no-preview; x11_fail "the settings program runs no preview of gyrewell"; }
pid=$(head -n1 "$X11_DIR/preview.pid")
pane_of() { tr '\0' '\n' <"/proc/$1/cmdline" | tail -n1; }
pane=$(pane_of "$pid")
x11_until 20 "$X11_CHECK" pane "$X11_DIR" pane "$pane" ||
  { "$X11_CHECK" pane "$X11_DIR" pane "$pane" || true; shot pane; x11_fail "the pane does not show the animation"; }

# The mode's settings dialog, built from gyrewell.xml: its first control, the
# number of sprites, has the focus; End sets it to 200, and the settings
# program ends the preview and starts it again with that setting. Save (the
# last control, a Shift+Tab away) writes it into the programs line.
main=$(xdotool search --onlyvisible --name '^XScreenSaver' | head -n1)
xdotool windowfocus --sync "$main"
xdotool key alt+s  # the "_Settings..." button
x11_until 10 bash -c "xdotool search --onlyvisible --name 'Gyrewell Settings' | grep -vx '$main'" \
  >"$X11_DIR/dialog.id" || { shot no-dialog; x11_fail "the Settings button opened no dialog"; }
dialog=$(head -n1 "$X11_DIR/dialog.id")
xdotool windowmove "$dialog" 300 100  # placed beside the main window, off the screen
xdotool windowfocus --sync "$dialog"
xdotool key End
x11_until 20 preview ' -root -count 200 --window-id 0x[0-9a-fA-F]+ $' >"$X11_DIR/preview.pid" ||
  { shot dialog; x11_fail "the count set in the dialog did not reach the preview's command line"; }
x11_until 10 bash -c "! kill -0 $pid" || x11_fail "the first preview outlived its end"
pid=$(head -n1 "$X11_DIR/preview.pid")
pane=$(pane_of "$pid")  # each preview has a pane of its own
xdotool key shift+Tab space
saved() { tr -s ' \t\\\n' ' ' <"$home/.xscreensaver" | grep -q -- "$program -root -count 200 "; }  # lines wrap
x11_until 10 saved ||
  { shot saved; x11_fail "Save did not write the count into the programs line"; }

# A larger settings window: the same preview follows its pane's new size and
# draws it whole (a desktop picture of the new size, no black bands).
size=$(xwininfo -id "$pane" | grep -E 'Width|Height' | tr -d ' \n')
xdotool windowsize "$main" 1024 768
x11_until 10 bash -c "[[ \$(xwininfo -id $pane | grep -E 'Width|Height' | tr -d ' \n') != '$size' ]]" ||
  x11_fail "the pane kept its size $size"
x11_until 20 "$X11_CHECK" pane "$X11_DIR" resized "$pane" ||
  { "$X11_CHECK" pane "$X11_DIR" resized "$pane" || true; shot resized; x11_fail "the resized pane has bands"; }
kill -0 "$pid" || x11_fail "the preview did not follow the resize: it ended"

# The settings program ends its preview with SIGTERM and waits for it.
x11_stop settings
x11_until 10 bash -c "! kill -0 $pid" || x11_fail "the preview outlived the settings program"
