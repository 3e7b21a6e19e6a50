// load_sheet.cpp - the sprite sheet from the program's own resources into the
// SheetSurface, converted to the display depth.
//
// The resource "DATA001" (RT_RCDATA) is a BMP file image, or that image packed
// (packed_image.h). The unpacker is tried first; when it refuses (the shipped
// sheet is plain, so it refuses at the magic) the resource bytes are imported as
// they are. Both readers are told the resource's size and never read past it.
#include "effect/effect_state.h"
#include "effect/render/bitmap_import.h"
#include "effect/render/packed_image.h"
#include "host/host_state.h"

bool LoadSheet() {
  HINSTANCE instance = static_cast<HINSTANCE>(Host.instance);
  HRSRC found = FindResourceA(instance, "DATA001", MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (found == nullptr) return false;
  HGLOBAL loaded = LoadResource(instance, found);
  if (loaded == nullptr) return false;
  const std::uint8_t* bytes = static_cast<const std::uint8_t*>(LockResource(loaded));
  if (bytes == nullptr) return false;
  const std::size_t size = SizeofResource(instance, found);

  const std::uint32_t unpacked = UnpackImage(DecodeBuffer, bytes, size, DecodeBufferSize);
  const std::uint8_t* image = unpacked != 0 ? DecodeBuffer : bytes;
  const std::size_t length = unpacked != 0 ? unpacked : size;
  // A sheet the import refuses leaves the surface black; the animation still runs.
  ImportBitmap(DisplayDepth, SheetSurface.pixels, 0, 0, image, length);
  return true;
}
