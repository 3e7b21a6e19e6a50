// field.h - an output's surface and the scene over it.
//
// Once an output has described itself its desktop is taken (desktop.h), and
// then its surface made: a layer surface on the overlay layer, anchored to
// all four edges, exclusive zone -1 (over panels too), taking the keyboard
// exclusively; or, where the compositor has no layer shell (GNOME) or with
// -toplevel, an xdg_toplevel made full screen on that output. Either is
// opaque. The compositor's configure gives its size; the scene is built for
// that size (again when the size or the output's scale changes) at the
// output's integer scale as buffer scale, its pixels one buffer pixel each.
//
// The scale the scene draws at follows unix/scale.h with 96 DPI per step of
// the output's scale. A compositor with a fractional scale (1.5) tells a
// client the next whole one (2) and would shrink its buffers to fit; the
// output's own pixels against its surface size tell the fraction, the
// buffers get the output's own pixels through a viewport (wp_viewporter,
// where the compositor has it), and the scene draws at the fraction's whole
// part (1).
#ifndef GYREWELL_WAYLAND_FIELD_H
#define GYREWELL_WAYLAND_FIELD_H

#include "wayland/wayland_saver.h"

// Answers the compositor's pings on xdg_wm_base.
void WatchWmBase(WaylandSaver& s);

// The output has described itself for the first time: its desktop is taken,
// then its surface made.
void StartField(WaylandSaver& s, Output& o);

// Makes the output's surface, once its desktop is there.
void ShowField(WaylandSaver& s, Output& o);

// The output described itself anew: a new scale builds the scene anew.
void OutputChanged(WaylandSaver& s, Output& o);

// Builds the scene for the surface's present size (o.resized); false when
// memory runs out.
bool BuildField(WaylandSaver& s, Output& o);

// Everything of the output's field: scene, buffers, surface, desktop.
void EndField(WaylandSaver& s, Output& o);

#endif
