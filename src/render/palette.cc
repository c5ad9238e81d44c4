#include "render/palette.h"

namespace {

const uint8_t kRamp1[2] = {0, 255};
const uint8_t kRamp2[4] = {0, 85, 170, 255};
const uint8_t kRamp3[8] = {0, 36, 73, 109, 146, 182, 219, 255};

struct StaticColour {
  uint8_t index, red, green, blue;
};
// Twelve of the twenty static system colours, over the 3-3-2 entries they
// replace; the other eight are exact ramp entries already.
const StaticColour kStaticColours[12] = {
    {3, 128, 0, 0},      {24, 0, 128, 0},     {27, 128, 128, 0},   {64, 0, 0, 128},
    {67, 128, 0, 128},   {88, 0, 128, 128},   {173, 192, 192, 192}, {181, 192, 220, 192},
    {236, 166, 202, 240}, {247, 255, 251, 240}, {164, 160, 160, 164}, {91, 128, 128, 128},
};

bool IsThreeThreeTwo(const PaletteLayout& l) {
  return l.color_bits == 8 && l.red_bits == 3 && l.red_shift == 0 && l.green_bits == 3 &&
         l.green_shift == 3 && l.blue_bits == 2 && l.blue_shift == 6;
}

}  // namespace

uint8_t PaletteComponent(int32_t index, int32_t bits, int32_t shift) {
  if (shift < 0 || shift > 31) return 0;  // a descriptor can't mean these
  const uint32_t value = static_cast<uint32_t>(index) >> shift;
  switch (bits) {
    case 1: return kRamp1[value & 1];
    case 2: return kRamp2[value & 3];
    case 3: return kRamp3[value & 7];
    default: return 0;
  }
}

int32_t BuildPaletteEntries(const PaletteLayout& layout, PaletteEntry* out, int32_t capacity) {
  if (layout.color_bits < 0 || layout.color_bits > 16) return 0;
  const int32_t count = int32_t{1} << layout.color_bits;
  if (count > capacity) return 0;
  for (int32_t i = 0; i < count; ++i) {
    out[i] = PaletteEntry{PaletteComponent(i, layout.red_bits, layout.red_shift),
                          PaletteComponent(i, layout.green_bits, layout.green_shift),
                          PaletteComponent(i, layout.blue_bits, layout.blue_shift), 0};
  }
  if (IsThreeThreeTwo(layout)) {
    for (const StaticColour& c : kStaticColours) out[c.index] = PaletteEntry{c.red, c.green, c.blue, 0};
  }
  return count;
}
