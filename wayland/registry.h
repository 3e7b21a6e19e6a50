// registry.h - the connection to the compositor and what it offers.
//
// The globals the program binds: wl_compositor and wl_shm (needed), the
// layer shell, xdg_wm_base (either one is needed), the screen copy, the
// viewporter, every wl_seat (input.h) and every wl_output. An output is an entry of
// s.outputs from its global's announcement to its removal; once it has
// described itself (its first done) its field is started (field.h), and
// its removal takes the field with it. Outputs are numbered in the order
// they appear, which gives each its own seed.
#ifndef GYREWELL_WAYLAND_REGISTRY_H
#define GYREWELL_WAYLAND_REGISTRY_H

#include <cstddef>

#include "wayland/wayland_saver.h"

// Connects to $WAYLAND_DISPLAY and binds the globals, two round trips. False,
// with one line in error, when there is no compositor or it lacks what the
// program needs.
bool OpenConnection(WaylandSaver& s, char* error, std::size_t size);

// Gives back every field and global, and closes the connection.
void CloseConnection(WaylandSaver& s);

#endif
