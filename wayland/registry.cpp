// registry.cpp - see registry.h.
#include "wayland/registry.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "wayland/field.h"
#include "wayland/input.h"

namespace {

// The versions spoken here: what the listeners below handle.
constexpr std::uint32_t CompositorVersion = 4;  // wl_surface.damage_buffer
constexpr std::uint32_t OutputVersion = 3;      // wl_output.release
constexpr std::uint32_t LayerShellVersion = 3;
constexpr std::uint32_t WmBaseVersion = 3;
constexpr std::uint32_t ScreencopyVersion = 3;

std::uint32_t Lower(std::uint32_t a, std::uint32_t b) { return a < b ? a : b; }

void* Bind(wl_registry* registry, std::uint32_t name, const wl_interface* interface, std::uint32_t offered,
           std::uint32_t spoken) {
  return wl_registry_bind(registry, name, interface, Lower(offered, spoken));
}

// wl_output: the first done starts the field; later ones may change its size.
void OnGeometry(void* data, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                const char*, const char*, std::int32_t transform) {
  static_cast<Output*>(data)->transform = transform;
}

void OnMode(void* data, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height, std::int32_t) {
  Output& o = *static_cast<Output*>(data);
  if ((flags & WL_OUTPUT_MODE_CURRENT) == 0) return;
  o.modeWidth = width;
  o.modeHeight = height;
}

void OnScale(void* data, wl_output*, std::int32_t factor) {
  static_cast<Output*>(data)->scale = factor > 0 ? factor : 1;
}

WaylandSaver* Saver;  // whose outputs the listeners below describe

void OnDone(void* data, wl_output*) {
  Output& o = *static_cast<Output*>(data);
  const bool first = !o.described;
  o.described = true;
  if (first) StartField(*Saver, o);
  else OutputChanged(*Saver, o);
}

// Bound at version 3 at most: no name and description events.
const wl_output_listener OutputListener = {OnGeometry, OnMode, OnDone, OnScale, nullptr, nullptr};

void AddOutput(WaylandSaver& s, std::uint32_t name, std::uint32_t version) {
  Output* o = nullptr;
  for (Output& entry : s.outputs)
    if (!entry.used) {
      o = &entry;
      break;
    }
  if (o == nullptr) {
    if (!s.tooManyOutputs) std::fprintf(stderr, "gyrewell-wayland: more than %d outputs; the rest stay as they are\n", MaxOutputs);
    s.tooManyOutputs = true;
    return;
  }
  *o = Output{};
  o->used = true;
  o->name = name;
  o->version = Lower(version, OutputVersion);
  o->index = s.outputsSeen++;
  o->scale = 1;
  o->output = static_cast<wl_output*>(Bind(s.registry, name, &wl_output_interface, version, OutputVersion));
  wl_output_add_listener(o->output, &OutputListener, o);
  if (o->version < 2) {  // no done event: described as it is
    o->described = true;
    StartField(s, *o);
  }
}

void OnGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t version) {
  WaylandSaver& s = *static_cast<WaylandSaver*>(data);
  if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
    s.compositorVersion = Lower(version, CompositorVersion);
    s.compositor = static_cast<wl_compositor*>(Bind(registry, name, &wl_compositor_interface, version, CompositorVersion));
  } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
    s.shm = static_cast<wl_shm*>(Bind(registry, name, &wl_shm_interface, version, 1));
  } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
    s.layerShellVersion = Lower(version, LayerShellVersion);
    s.layerShell = static_cast<zwlr_layer_shell_v1*>(
        Bind(registry, name, &zwlr_layer_shell_v1_interface, version, LayerShellVersion));
  } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
    s.wmBase = static_cast<xdg_wm_base*>(Bind(registry, name, &xdg_wm_base_interface, version, WmBaseVersion));
    WatchWmBase(s);
  } else if (std::strcmp(interface, zwlr_screencopy_manager_v1_interface.name) == 0) {
    s.screencopyVersion = Lower(version, ScreencopyVersion);
    s.screencopy = static_cast<zwlr_screencopy_manager_v1*>(
        Bind(registry, name, &zwlr_screencopy_manager_v1_interface, version, ScreencopyVersion));
  } else if (std::strcmp(interface, wp_viewporter_interface.name) == 0) {
    s.viewporter = static_cast<wp_viewporter*>(Bind(registry, name, &wp_viewporter_interface, version, 1));
  } else if (std::strcmp(interface, wl_seat_interface.name) == 0) {
    AddSeat(s, name, version);
  } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
    AddOutput(s, name, version);
  }
}

void OnGlobalRemove(void* data, wl_registry*, std::uint32_t name) {
  WaylandSaver& s = *static_cast<WaylandSaver*>(data);
  for (Output& o : s.outputs)
    if (o.used && o.name == name) {
      EndField(s, o);
      if (o.version >= 3) wl_output_release(o.output);
      else wl_output_destroy(o.output);
      o.used = false;
    }
  RemoveSeat(s, name);
}

const wl_registry_listener RegistryListener = {OnGlobal, OnGlobalRemove};

}  // namespace

bool OpenConnection(WaylandSaver& s, char* error, std::size_t size) {
  Saver = &s;
  s.display = wl_display_connect(nullptr);
  if (s.display == nullptr) {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    std::snprintf(error, size, "cannot connect to a Wayland compositor (WAYLAND_DISPLAY=%s)",
                  name != nullptr ? name : "unset");
    return false;
  }
  s.registry = wl_display_get_registry(s.display);
  wl_registry_add_listener(s.registry, &RegistryListener, &s);
  // The first round trip announces the globals, the second the outputs' and
  // seats' own events.
  if (wl_display_roundtrip(s.display) < 0 || wl_display_roundtrip(s.display) < 0) {
    std::snprintf(error, size, "the compositor ended the connection at once");
    return false;
  }
  if (s.compositor == nullptr || s.compositorVersion < 4 || s.shm == nullptr) {
    std::snprintf(error, size, "the compositor offers no wl_compositor of version 4 or no wl_shm");
    return false;
  }
  if (s.layerShell == nullptr && s.wmBase == nullptr) {
    std::snprintf(error, size, "the compositor offers neither a layer shell nor xdg_wm_base");
    return false;
  }
  return true;
}

void CloseConnection(WaylandSaver& s) {
  if (s.display == nullptr) return;
  for (Output& o : s.outputs)
    if (o.used) {
      EndField(s, o);
      if (o.version >= 3) wl_output_release(o.output);
      else wl_output_destroy(o.output);
      o.used = false;
    }
  for (Seat& seat : s.seats)
    if (seat.name != 0) RemoveSeat(s, seat.name);
  if (s.screencopy != nullptr) zwlr_screencopy_manager_v1_destroy(s.screencopy);
  if (s.viewporter != nullptr) wp_viewporter_destroy(s.viewporter);
  if (s.layerShell != nullptr) {
    if (s.layerShellVersion >= 3) zwlr_layer_shell_v1_destroy(s.layerShell);
    else wl_proxy_destroy(reinterpret_cast<wl_proxy*>(s.layerShell));
  }
  if (s.wmBase != nullptr) xdg_wm_base_destroy(s.wmBase);
  if (s.shm != nullptr) wl_shm_destroy(s.shm);
  if (s.compositor != nullptr) wl_compositor_destroy(s.compositor);
  wl_registry_destroy(s.registry);
  wl_display_flush(s.display);
  wl_display_disconnect(s.display);
  s.display = nullptr;
}
