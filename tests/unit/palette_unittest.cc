#include "render/palette.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(PaletteTest, RampsGiveTheNearestIntensity) {
  const int32_t cases[][4] = {  // index, bits, shift, intensity
      {1, 1, 0, 255}, {1, 2, 0, 85}, {2, 2, 0, 170}, {1, 3, 0, 36}, {2, 3, 0, 73}, {4, 3, 0, 146},
      {6, 3, 0, 219}, {0xC0, 2, 6, 255}, {0x38, 3, 3, 255}, {255, 4, 0, 0}, {255, 0, 0, 0}, {255, 3, 40, 0}};
  for (const auto& c : cases) EXPECT_EQ(PaletteComponent(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1];
}

// 3-3-2 gets static colours over some of its ramp entries; other layouts the
// ramps alone; a layout of more entries than there is room for, none.
TEST(PaletteTest, EntriesOfEachLayout) {
  const PaletteLayout k332{8, 3, 0, 3, 3, 2, 6};
  const struct {
    PaletteLayout layout;
    int32_t made;
    int index, red, green, blue;
  } cases[] = {{k332, 256, 0, 0, 0, 0},       {k332, 256, 255, 255, 255, 255}, {k332, 256, 7, 255, 0, 0},
               {k332, 256, 56, 0, 255, 0},    {k332, 256, 192, 0, 0, 255},     {k332, 256, 3, 128, 0, 0},
               {k332, 256, 4, 146, 0, 0},     // an entry no static colour replaces
               {{8, 3, 5, 3, 2, 2, 0}, 256, 3, 0, 0, 255}, {{8, 3, 5, 3, 2, 2, 0}, 256, 91, 73, 219, 255},
               {{8, 4, 0, 3, 4, 1, 7}, 256, 0xFF, 0, 255, 255},  // four bits of red: always 0
               {{4, 1, 0, 2, 1, 1, 3}, 16, 15, 255, 255, 255},   {{9, 3, 0, 3, 3, 3, 6}, 0, 0, 0, 0, 0},
               {{-1, 3, 0, 3, 3, 2, 6}, 0, 0, 0, 0, 0},          {{40, 3, 0, 3, 3, 2, 6}, 0, 0, 0, 0, 0}};
  for (const auto& c : cases) {
    std::vector<PaletteEntry> e(256, PaletteEntry{1, 1, 1, 1});
    ASSERT_EQ(BuildPaletteEntries(c.layout, e.data(), 256), c.made) << c.layout.color_bits;
    const PaletteEntry& got = e[c.index];
    EXPECT_TRUE(!c.made || (got.red == c.red && got.green == c.green && got.blue == c.blue && got.flags == 0))
        << c.layout.red_shift << " " << c.index;
  }
}

}  // namespace
