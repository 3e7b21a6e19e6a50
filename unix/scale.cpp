// scale.cpp - see scale.h.
#include "unix/scale.h"

#include "effect/scene.h"

namespace {

// The daemon's display modes draw at 2 above this width or height.
constexpr std::int32_t LargeWindow = 2560;
// More digits than any real DPI: the value is refused before it can overflow.
constexpr std::int32_t LargestDpi = 100000;

bool IsSpace(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::int32_t ChooseScale(std::int32_t optionScale, std::int32_t dpi, std::int32_t width, std::int32_t height) {
  if (optionScale > 0) return optionScale < LargestScale ? optionScale : LargestScale;
  if (dpi <= 0) return width > LargeWindow || height > LargeWindow ? 2 : 1;
  std::int32_t scale = ScaleForDpi(dpi);
  if (scale > LargestScale) scale = LargestScale;
  if (width / scale < SmallestScaledWidth || height / scale < SmallestScaledHeight) return 1;
  return scale;
}

std::int32_t ReadDpi(const char* text) {
  if (text == nullptr) return 0;
  while (IsSpace(*text)) ++text;
  if (!IsDigit(*text)) return 0;
  std::int32_t dpi = 0;
  for (; IsDigit(*text); ++text) {
    dpi = dpi * 10 + (*text - '0');
    if (dpi > LargestDpi) return 0;
  }
  if (*text == '.')
    for (++text; IsDigit(*text); ++text) {
    }
  while (IsSpace(*text)) ++text;
  return *text == '\0' && dpi > 0 ? dpi : 0;
}
