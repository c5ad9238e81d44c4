// quarlo-render's command line.
#pragma once

#include <cstddef>
#include <cstdint>

struct RenderOptions {
  uint32_t seed;
  int64_t tick;       // the last tick run (0: the frame before the first tick)
  int32_t width, height;
  bool explode;
  int32_t displacement;
  const char* texture;  // or null
  int64_t every;        // 0: one frame, else a frame every `every` ticks into a directory
  const char* out;
};

// argv[0] is the program. On failure returns false with a reason and the
// usage in `error`.
bool ParseRenderArgs(int argc, const char* const* argv, RenderOptions* options, char* error,
                     size_t error_size);
