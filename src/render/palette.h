// The logical palette for a palette-based pixel format: colour ramps per
// component, with twelve system colours put into the 3-3-2 layout. Pure
// logic, so it builds and is tested on every platform.
#pragma once

#include <cstdint>

struct PaletteEntry {
  uint8_t red, green, blue, flags;
};

// The pixel format's colour layout, as its descriptor states it.
struct PaletteLayout {
  int32_t color_bits;
  int32_t red_bits, red_shift;
  int32_t green_bits, green_shift;
  int32_t blue_bits, blue_shift;
};

// The 8-bit intensity of component value (index >> shift) & (2^bits - 1),
// from the 1-, 2- or 3-bit ramp; 0 for any other bit count.
uint8_t PaletteComponent(int32_t index, int32_t bits, int32_t shift);

// Fills `out` with the 2^color_bits entries of the layout and returns their
// count; 0 when they would not fit in `capacity` (then no palette is made).
int32_t BuildPaletteEntries(const PaletteLayout& layout, PaletteEntry* out, int32_t capacity);
