#include "render/palette.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const PaletteLayout k332{8, 3, 0, 3, 3, 2, 6};

bool Is(const PaletteEntry& e, int r, int g, int b) {
  return e.red == r && e.green == g && e.blue == b && e.flags == 0;
}

TEST(PaletteTest, RampsRoundToTheNearestIntensity) {
  for (int bits = 1; bits <= 3; ++bits) {
    const int top = (1 << bits) - 1;
    for (int i = 0; i <= top; ++i) {
      EXPECT_EQ(PaletteComponent(i, bits, 0), (i * 255 * 2 + top) / (2 * top)) << bits << " " << i;
    }
  }
  EXPECT_EQ(PaletteComponent(0xC0, 2, 6), 255);
  EXPECT_EQ(PaletteComponent(0x38, 3, 3), 255);
  EXPECT_EQ(PaletteComponent(255, 4, 0), 0);
  EXPECT_EQ(PaletteComponent(255, 0, 0), 0);
  EXPECT_EQ(PaletteComponent(255, 3, 40), 0);
}

// 3-3-2 gets the static colours over its ramps; other layouts the ramps alone.
TEST(PaletteTest, EntriesOfEachLayout) {
  const struct {
    PaletteLayout layout;
    int32_t made;
    int index, red, green, blue;
  } cases[] = {{k332, 256, 0, 0, 0, 0},       {k332, 256, 255, 255, 255, 255}, {k332, 256, 7, 255, 0, 0},
               {k332, 256, 56, 0, 255, 0},    {k332, 256, 192, 0, 0, 255},     {k332, 256, 3, 128, 0, 0},
               {k332, 256, 91, 128, 128, 128}, {k332, 256, 173, 192, 192, 192}, {k332, 256, 247, 255, 251, 240},
               {k332, 256, 4, 146, 0, 0},     // an entry no static colour replaces
               {{8, 3, 5, 3, 2, 2, 0}, 256, 3, 0, 0, 255}, {{8, 3, 5, 3, 2, 2, 0}, 256, 91, 73, 219, 255},
               {{8, 4, 0, 3, 4, 1, 7}, 256, 0x7F, 0, 255, 0},  // four bits of red: always 0
               {{8, 4, 0, 3, 4, 1, 7}, 256, 0xFF, 0, 255, 255}, {{4, 1, 0, 2, 1, 1, 3}, 16, 15, 255, 255, 255}};
  for (const auto& c : cases) {
    std::vector<PaletteEntry> e(256);
    ASSERT_EQ(BuildPaletteEntries(c.layout, e.data(), 256), c.made);
    EXPECT_TRUE(Is(e[c.index], c.red, c.green, c.blue)) << c.layout.red_shift << " " << c.index;
  }
}

TEST(PaletteTest, TooManyEntriesMakeNoPalette) {
  std::vector<PaletteEntry> e(256);
  EXPECT_EQ(BuildPaletteEntries(PaletteLayout{9, 3, 0, 3, 3, 3, 6}, e.data(), 256), 0);
  EXPECT_EQ(BuildPaletteEntries(PaletteLayout{-1, 3, 0, 3, 3, 2, 6}, e.data(), 256), 0);
  EXPECT_EQ(BuildPaletteEntries(PaletteLayout{40, 3, 0, 3, 3, 2, 6}, e.data(), 256), 0);
}

}  // namespace
