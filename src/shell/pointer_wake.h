// The pointer rule both full-screen savers end by: a move of more than
// MouseWakeThreshold pixels from where the pointer was, counted as
// |dx| + |dy|.
#pragma once

#include <cstdint>

enum : int32_t { MouseWakeThreshold = 4 };

// |a - b| in unsigned 32 bits, right even for coordinates far apart.
inline uint32_t PointerDistance(int32_t a, int32_t b) {
  return a >= b ? uint32_t(a) - uint32_t(b) : uint32_t(b) - uint32_t(a);
}

inline bool PointerMoveWakes(int32_t x, int32_t y, int32_t origin_x, int32_t origin_y) {
  return PointerDistance(x, origin_x) + PointerDistance(y, origin_y) >
         static_cast<uint32_t>(MouseWakeThreshold);
}
