// input.cpp - see input.h.
#include "wayland/input.h"

#include <unistd.h>

namespace {

constexpr std::uint32_t SeatVersion = 5;  // the listeners below: up to wl_pointer's axis_discrete
// The largest travel that leaves the saver up, as on Windows.
constexpr std::int64_t MouseMoveThreshold = 4;

WaylandSaver* Saver;  // whose seats these are

void End() { Saver->ended = true; }

// Surface units, in 24.8 fixed point, as the output's pixels (its scale,
// whole or a fraction).
std::int64_t InPixels(wl_surface* surface, std::int64_t units) {
  for (const Output& o : Saver->outputs)
    if (o.used && o.surface == surface && o.width > 0 && o.pixelWidth > 0) return units * o.pixelWidth / o.width;
  return units;
}

std::int64_t Distance(wl_fixed_t a, wl_fixed_t b) { return a > b ? a - b : b - a; }

// Keys: any press ends the saver; the keymap's file is not needed.
void OnKeymap(void*, wl_keyboard*, std::uint32_t, std::int32_t fd, std::uint32_t) { close(fd); }
void OnKeyboardEnter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {}
void OnKeyboardLeave(void*, wl_keyboard*, std::uint32_t, wl_surface*) {}
void OnKey(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t state) {
  if (state == WL_KEYBOARD_KEY_STATE_PRESSED) End();
}
void OnModifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {}
void OnRepeatInfo(void*, wl_keyboard*, std::int32_t, std::int32_t) {}
const wl_keyboard_listener KeyboardListener = {OnKeymap, OnKeyboardEnter, OnKeyboardLeave, OnKey, OnModifiers,
                                               OnRepeatInfo};

void OnPointerEnter(void* data, wl_pointer* pointer, std::uint32_t serial, wl_surface* surface, wl_fixed_t x,
                    wl_fixed_t y) {
  Seat& seat = *static_cast<Seat*>(data);
  wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
  seat.anchorSurface = surface;
  seat.anchorX = x;
  seat.anchorY = y;
}
void OnPointerLeave(void* data, wl_pointer*, std::uint32_t, wl_surface*) {
  static_cast<Seat*>(data)->anchorSurface = nullptr;
}
void OnMotion(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) {
  const Seat& seat = *static_cast<Seat*>(data);
  if (seat.anchorSurface == nullptr) return;
  const std::int64_t travel = InPixels(seat.anchorSurface, Distance(x, seat.anchorX) + Distance(y, seat.anchorY));
  if (travel > MouseMoveThreshold * 256) End();
}
void OnButton(void*, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t state) {
  if (state == WL_POINTER_BUTTON_STATE_PRESSED) End();
}
void OnAxis(void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {}
void OnPointerFrame(void*, wl_pointer*) {}
void OnAxisSource(void*, wl_pointer*, std::uint32_t) {}
void OnAxisStop(void*, wl_pointer*, std::uint32_t, std::uint32_t) {}
void OnAxisDiscrete(void*, wl_pointer*, std::uint32_t, std::int32_t) {}
// Bound at version 5 at most: nothing from later versions comes.
const wl_pointer_listener PointerListener = {OnPointerEnter, OnPointerLeave, OnMotion,       OnButton,
                                             OnAxis,         OnPointerFrame, OnAxisSource,   OnAxisStop,
                                             OnAxisDiscrete, nullptr};

void OnTouchDown(void*, wl_touch*, std::uint32_t, std::uint32_t, wl_surface*, std::int32_t, wl_fixed_t, wl_fixed_t) {
  End();
}
void OnTouchUp(void*, wl_touch*, std::uint32_t, std::uint32_t, std::int32_t) {}
void OnTouchMotion(void*, wl_touch*, std::uint32_t, std::int32_t, wl_fixed_t, wl_fixed_t) {}
void OnTouchFrame(void*, wl_touch*) {}
void OnTouchCancel(void*, wl_touch*) {}
const wl_touch_listener TouchListener = {OnTouchDown,  OnTouchUp, OnTouchMotion, OnTouchFrame,
                                        OnTouchCancel, nullptr,   nullptr};

// A device the seat no longer has (the release request exists from version 3).
template <typename Device>
void Release(const Seat& seat, Device*& device, void (*release)(Device*), void (*destroy)(Device*)) {
  if (wl_seat_get_version(seat.seat) >= 3) release(device);
  else destroy(device);
  device = nullptr;
}

void ReleaseDevices(Seat& seat, std::uint32_t capabilities) {
  if (seat.keyboard != nullptr && (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) == 0)
    Release(seat, seat.keyboard, wl_keyboard_release, wl_keyboard_destroy);
  if (seat.pointer != nullptr && (capabilities & WL_SEAT_CAPABILITY_POINTER) == 0) {
    Release(seat, seat.pointer, wl_pointer_release, wl_pointer_destroy);
    seat.anchorSurface = nullptr;
  }
  if (seat.touch != nullptr && (capabilities & WL_SEAT_CAPABILITY_TOUCH) == 0)
    Release(seat, seat.touch, wl_touch_release, wl_touch_destroy);
}

// Devices come and go with the seat's capabilities (a virtual pointer, a
// keyboard plugged in).
void OnCapabilities(void* data, wl_seat* wlSeat, std::uint32_t capabilities) {
  Seat& seat = *static_cast<Seat*>(data);
  if (seat.keyboard == nullptr && (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0) {
    seat.keyboard = wl_seat_get_keyboard(wlSeat);
    wl_keyboard_add_listener(seat.keyboard, &KeyboardListener, &seat);
  }
  if (seat.pointer == nullptr && (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0) {
    seat.pointer = wl_seat_get_pointer(wlSeat);
    wl_pointer_add_listener(seat.pointer, &PointerListener, &seat);
  }
  if (seat.touch == nullptr && (capabilities & WL_SEAT_CAPABILITY_TOUCH) != 0) {
    seat.touch = wl_seat_get_touch(wlSeat);
    wl_touch_add_listener(seat.touch, &TouchListener, &seat);
  }
  ReleaseDevices(seat, capabilities);
}
void OnSeatName(void*, wl_seat*, const char*) {}
const wl_seat_listener SeatListener = {OnCapabilities, OnSeatName};

}  // namespace

void AddSeat(WaylandSaver& s, std::uint32_t name, std::uint32_t version) {
  Saver = &s;
  for (Seat& seat : s.seats)
    if (seat.name == 0) {
      seat = Seat{};
      seat.name = name;
      seat.seat = static_cast<wl_seat*>(
          wl_registry_bind(s.registry, name, &wl_seat_interface, version < SeatVersion ? version : SeatVersion));
      wl_seat_add_listener(seat.seat, &SeatListener, &seat);
      return;
    }
}

void RemoveSeat(WaylandSaver& s, std::uint32_t name) {
  for (Seat& seat : s.seats)
    if (seat.name == name) {
      ReleaseDevices(seat, 0);
      if (wl_seat_get_version(seat.seat) >= 5) wl_seat_release(seat.seat);
      else wl_seat_destroy(seat.seat);
      seat = Seat{};
    }
}
