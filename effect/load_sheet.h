// load_sheet.h - the sprite sheet from the program's own resources.
//
// LoadSheet finds the resource "DATA001" (RT_RCDATA) in the program, loads and
// locks it, and hands its bytes to ImportSheet (scene.h), which unpacks them
// into the DecodeBuffer when they are packed and imports the bitmap into the
// SheetSurface at the display depth. False when the resource cannot be found,
// loaded or locked; whether the import takes the image is not examined (a
// refused sheet leaves the surface black and the animation still runs).
#ifndef GYREWELL_LOAD_SHEET_H
#define GYREWELL_LOAD_SHEET_H

bool LoadSheet();

#endif
