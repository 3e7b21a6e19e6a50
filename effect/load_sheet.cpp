// load_sheet.cpp - see load_sheet.h. Both readers are told the resource's size
// and never read past it.
#include "effect/load_sheet.h"

#include "effect/effect_state.h"

bool LoadSheet() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(instance, "DATA001", MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (found == nullptr) return false;
  HGLOBAL loaded = LoadResource(instance, found);
  if (loaded == nullptr) return false;
  const std::uint8_t* bytes = static_cast<const std::uint8_t*>(LockResource(loaded));
  if (bytes == nullptr) return false;
  ImportSheet(DisplayDepth, SheetSurface.pixels, bytes, SizeofResource(instance, found), DecodeBuffer);
  return true;
}
