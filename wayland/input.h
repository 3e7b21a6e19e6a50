// input.h - the seats: what ends the saver, and the hidden pointer.
//
// As on Windows, a key press, a button press or pointer travel of more than
// four pixels ends it (and a touch, which Windows turns into a button). The
// travel is |dx| + |dy| in the output's pixels from where the pointer
// entered one of the program's surfaces, so small moves add up; entering
// another surface (the pointer crossed to another output, or an output went
// away under it) measures from there anew. Over its surfaces the pointer
// has no cursor.
#ifndef GYREWELL_WAYLAND_INPUT_H
#define GYREWELL_WAYLAND_INPUT_H

#include <cstdint>

#include "wayland/wayland_saver.h"

// A wl_seat global appeared: bound, and its devices taken as it offers them.
void AddSeat(WaylandSaver& s, std::uint32_t name, std::uint32_t version);

// The global with that name went away: when it is a seat, it and its devices
// are released (other names are left alone).
void RemoveSeat(WaylandSaver& s, std::uint32_t name);

#endif
