// virtual_pointer - a pointer device for the tests, as a user's mouse would be
// (a headless compositor has none): reads commands from standard input, one
// a line, and answers each with "ok" once the compositor has it.
//   move DX DY    relative motion in the compositor's pixels
//   click         the left button pressed and released
// Ends at the end of its input; exit status 1 without a compositor or one
// that offers no virtual pointers.
#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {

zwlr_virtual_pointer_manager_v1* Manager;

void OnGlobal(void*, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t) {
  if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
    Manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
        wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
}
void OnGlobalRemove(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener RegistryListener = {OnGlobal, OnGlobalRemove};

}  // namespace

int main() {
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) return std::fprintf(stderr, "virtual_pointer: no compositor\n"), 1;
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &RegistryListener, nullptr);
  wl_display_roundtrip(display);
  if (Manager == nullptr) return std::fprintf(stderr, "virtual_pointer: no virtual pointers offered\n"), 1;
  zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(Manager, nullptr);
  std::uint32_t time = 0;
  char line[64];
  while (std::fgets(line, sizeof line, stdin) != nullptr) {
    double dx = 0, dy = 0;
    if (std::sscanf(line, "move %lf %lf", &dx, &dy) == 2) {
      zwlr_virtual_pointer_v1_motion(pointer, time += 10, wl_fixed_from_double(dx), wl_fixed_from_double(dy));
    } else if (std::strncmp(line, "click", 5) == 0) {
      zwlr_virtual_pointer_v1_button(pointer, time += 10, BTN_LEFT, WL_POINTER_BUTTON_STATE_PRESSED);
      zwlr_virtual_pointer_v1_frame(pointer);
      zwlr_virtual_pointer_v1_button(pointer, time += 10, BTN_LEFT, WL_POINTER_BUTTON_STATE_RELEASED);
    } else {
      std::fprintf(stderr, "virtual_pointer: unknown command %s", line);
      return 1;
    }
    zwlr_virtual_pointer_v1_frame(pointer);
    if (wl_display_roundtrip(display) < 0) return 1;
    std::printf("ok\n");
    std::fflush(stdout);
  }
  zwlr_virtual_pointer_v1_destroy(pointer);
  wl_proxy_destroy(reinterpret_cast<wl_proxy*>(Manager));
  wl_registry_destroy(registry);
  wl_display_disconnect(display);
  return 0;
}
