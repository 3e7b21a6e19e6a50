// field.cpp - see field.h.
#include "wayland/field.h"

#include <cstdlib>

#include "effect/fields.h"
#include "unix/saver_scene.h"
#include "unix/scale.h"
#include "unix/waiting.h"
#include "wayland/desktop.h"
#include "wayland/frame_output.h"

namespace {

// Surfaces made by this program, so that other tools can tell them.
const char Namespace[] = "gyrewell";

WaylandSaver* Saver;  // whose outputs' surfaces these are

// The compositor's size for the surface, in its own coordinates.
void Configured(Output& o, std::int32_t width, std::int32_t height) {
  if (width <= 0 || height <= 0) {
    // The client's choice: the output's own size at its scale.
    const bool across = (o.transform & 1) != 0;
    width = (across ? o.modeHeight : o.modeWidth) / o.scale;
    height = (across ? o.modeWidth : o.modeHeight) / o.scale;
  }
  if (width <= 0 || height <= 0) return;
  if (o.state == FieldConfiguring || width != o.width || height != o.height) o.resized = true;
  o.width = width;
  o.height = height;
  o.state = FieldRunning;
  // The same size: a commit answers the configure at once, with the frame
  // shown. Compositors may show an older picture until it comes (sway does
  // while it rearranges), and after -frames no frame would bring it.
  if (!o.resized && o.sceneBuilt) wl_surface_commit(o.surface);
}

void OnLayerConfigure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t width,
                      std::uint32_t height) {
  zwlr_layer_surface_v1_ack_configure(layer, serial);
  Configured(*static_cast<Output*>(data), static_cast<std::int32_t>(width), static_cast<std::int32_t>(height));
}

// The compositor will not show the surface any more: the field ends, and the
// output stays without one.
void OnLayerClosed(void* data, zwlr_layer_surface_v1*) {
  Output& o = *static_cast<Output*>(data);
  EndField(*Saver, o);
  o.state = FieldClosed;
}

const zwlr_layer_surface_v1_listener LayerListener = {OnLayerConfigure, OnLayerClosed};

// A toplevel's size comes with its configure, and counts once its surface's
// configure is acknowledged.
void OnToplevelConfigure(void* data, xdg_toplevel*, std::int32_t width, std::int32_t height, wl_array*) {
  Output& o = *static_cast<Output*>(data);
  o.pendingWidth = width;
  o.pendingHeight = height;
}
void OnToplevelClose(void*, xdg_toplevel*) { Saver->ended = true; }
// Bound at version 3 at most: no bounds or capabilities events.
const xdg_toplevel_listener ToplevelListener = {OnToplevelConfigure, OnToplevelClose, nullptr, nullptr};

void OnSurfaceConfigure(void* data, xdg_surface* surface, std::uint32_t serial) {
  Output& o = *static_cast<Output*>(data);
  xdg_surface_ack_configure(surface, serial);
  Configured(o, o.pendingWidth, o.pendingHeight);
}
const xdg_surface_listener SurfaceListener = {OnSurfaceConfigure};

void OnPing(void*, xdg_wm_base* base, std::uint32_t serial) { xdg_wm_base_pong(base, serial); }
const xdg_wm_base_listener WmBaseListener = {OnPing};

void MakeLayerSurface(WaylandSaver& s, Output& o) {
  o.layerSurface = zwlr_layer_shell_v1_get_layer_surface(s.layerShell, o.surface, o.output,
                                                         ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, Namespace);
  zwlr_layer_surface_v1_add_listener(o.layerSurface, &LayerListener, &o);
  zwlr_layer_surface_v1_set_anchor(o.layerSurface,
                                   ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                       ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
  zwlr_layer_surface_v1_set_exclusive_zone(o.layerSurface, -1);
  zwlr_layer_surface_v1_set_keyboard_interactivity(o.layerSurface,
                                                   ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE);
}

void MakeToplevel(WaylandSaver& s, Output& o) {
  o.xdgSurface = xdg_wm_base_get_xdg_surface(s.wmBase, o.surface);
  xdg_surface_add_listener(o.xdgSurface, &SurfaceListener, &o);
  o.toplevel = xdg_surface_get_toplevel(o.xdgSurface);
  xdg_toplevel_add_listener(o.toplevel, &ToplevelListener, &o);
  xdg_toplevel_set_title(o.toplevel, "Gyrewell");
  xdg_toplevel_set_app_id(o.toplevel, "gyrewell");
  xdg_toplevel_set_fullscreen(o.toplevel, o.output);
}

// The whole surface is opaque: the compositor need draw nothing under it.
void SetOpaque(WaylandSaver& s, Output& o) {
  wl_region* region = wl_compositor_create_region(s.compositor);
  wl_region_add(region, 0, 0, o.width, o.height);
  wl_surface_set_opaque_region(o.surface, region);
  wl_region_destroy(region);
}

void FreeScene(Output& o) {
  if (!o.sceneBuilt) return;
  FreeSceneSurfaces(o.scene, o.memory);
  std::free(o.workMemory);
  o.workMemory = nullptr;
  o.scene.surfaces.work = PixelSurface{};
  o.sceneBuilt = false;
}

}  // namespace

void WatchWmBase(WaylandSaver& s) { xdg_wm_base_add_listener(s.wmBase, &WmBaseListener, &s); }

void StartField(WaylandSaver& s, Output& o) {
  Saver = &s;
  TakeDesktop(s, o);
}

void ShowField(WaylandSaver& s, Output& o) {
  o.surface = wl_compositor_create_surface(s.compositor);
  if (s.layerShell != nullptr && !s.options.toplevel) MakeLayerSurface(s, o);
  else MakeToplevel(s, o);
  o.state = FieldConfiguring;
  wl_surface_commit(o.surface);  // without a buffer: the compositor answers with a configure
}

void OutputChanged(WaylandSaver&, Output& o) {
  if (o.state == FieldRunning && o.scale != o.bufferScale) o.resized = true;
}

bool BuildField(WaylandSaver& s, Output& o) {
  o.resized = false;
  o.held = false;  // a new scene: its own -frames
  FreeScene(o);
  DestroyFrameBuffers(o);
  const std::int32_t k = o.scale;
  o.bufferScale = k;
  o.pixelWidth = o.width * k;
  o.pixelHeight = o.height * k;
  // The output's own pixels as it shows them. Where there are fewer than the
  // next whole scale gives (1.5: the compositor would shrink the buffers), a
  // viewport lays buffers of the output's own pixels onto the surface, one
  // for one; the surface must cover the output for that (both axes alike).
  const bool across = (o.transform & 1) != 0;
  const std::int32_t shownWidth = across ? o.modeHeight : o.modeWidth;
  const std::int32_t shownHeight = across ? o.modeWidth : o.modeHeight;
  const std::int64_t skew = static_cast<std::int64_t>(shownWidth) * o.height - static_cast<std::int64_t>(shownHeight) * o.width;
  const bool fraction = shownWidth > 0 && shownWidth < o.pixelWidth && shownWidth >= o.width &&
                        (skew < 0 ? -skew : skew) <= shownWidth + shownHeight;
  if (fraction && s.viewporter != nullptr) {
    o.pixelWidth = shownWidth;
    o.pixelHeight = shownHeight;
    if (o.viewport == nullptr) o.viewport = wp_viewporter_get_viewport(s.viewporter, o.surface);
    wp_viewport_set_destination(o.viewport, o.width, o.height);
    wl_surface_set_buffer_scale(o.surface, 1);
  } else {
    if (o.viewport != nullptr) wp_viewport_set_destination(o.viewport, -1, -1);
    wl_surface_set_buffer_scale(o.surface, k);
  }
  // 96 DPI a step of the output's scale: its whole part where it is a fraction.
  const std::int32_t dpi = fraction ? 96 * shownWidth / o.width : 96 * k;
  o.layout = LayOutField(o.pixelWidth, o.pixelHeight, ChooseScale(s.options.scale, dpi, o.pixelWidth, o.pixelHeight));
  if (!AllocateSceneSurfaces(o.scene, o.memory, o.layout, 32)) return false;
  o.sceneBuilt = true;
  const SurfaceSize work = o.layout.work;
  o.workMemory = static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(work.width) * work.height, 4));
  if (o.workMemory == nullptr) return false;
  o.scene.surfaces.work = PixelSurface{o.workMemory, work.width, work.height};
  if (!StartSaverScene(o.scene, o.layout, s.options, FieldSeed(SaverSeed(s.options), o.index),
                       o.desktop))
    return false;
  SetOpaque(s, o);
  StartFrameClock(o.clock, s.options, NowNanoseconds());
  ComposeScene(o.scene);
  return true;
}

void EndField(WaylandSaver&, Output& o) {
  FreeScene(o);
  DestroyFrameBuffers(o);
  if (o.viewport != nullptr) wp_viewport_destroy(o.viewport);
  if (o.layerSurface != nullptr) zwlr_layer_surface_v1_destroy(o.layerSurface);
  if (o.toplevel != nullptr) xdg_toplevel_destroy(o.toplevel);
  if (o.xdgSurface != nullptr) xdg_surface_destroy(o.xdgSurface);
  if (o.surface != nullptr) wl_surface_destroy(o.surface);
  o.viewport = nullptr;
  o.layerSurface = nullptr;
  o.toplevel = nullptr;
  o.xdgSurface = nullptr;
  o.surface = nullptr;
  ReleaseDesktop(o);
  o.state = FieldWaiting;
}
