// A rectangle of pixels, of a drawable or of a picture, counted from the
// bottom left as glScissor and a bottom-up bitmap count them.
#pragma once

#include <cstdint>

struct PixelRect {
  int32_t x, y, width, height;
};

inline bool IsEmptyRect(const PixelRect& r) { return r.width <= 0 || r.height <= 0; }

// Both together: the smallest rectangle that holds them.
inline PixelRect UnionRect(const PixelRect& a, const PixelRect& b) {
  if (IsEmptyRect(a)) return b;
  if (IsEmptyRect(b)) return a;
  const int32_t left = a.x < b.x ? a.x : b.x;
  const int32_t bottom = a.y < b.y ? a.y : b.y;
  const int32_t right = a.x + a.width > b.x + b.width ? a.x + a.width : b.x + b.width;
  const int32_t top = a.y + a.height > b.y + b.height ? a.y + a.height : b.y + b.height;
  return PixelRect{left, bottom, right - left, top - bottom};
}
