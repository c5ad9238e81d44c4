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

TEST(PaletteTest, ThreeThreeTwoGetsTheStaticColours) {
  std::vector<PaletteEntry> e(256);
  ASSERT_EQ(BuildPaletteEntries(k332, e.data(), 256), 256);
  EXPECT_TRUE(Is(e[0], 0, 0, 0));
  EXPECT_TRUE(Is(e[255], 255, 255, 255));
  EXPECT_TRUE(Is(e[7], 255, 0, 0));
  EXPECT_TRUE(Is(e[56], 0, 255, 0));
  EXPECT_TRUE(Is(e[192], 0, 0, 255));
  EXPECT_TRUE(Is(e[3], 128, 0, 0));
  EXPECT_TRUE(Is(e[91], 128, 128, 128));
  EXPECT_TRUE(Is(e[173], 192, 192, 192));
  EXPECT_TRUE(Is(e[247], 255, 251, 240));
  EXPECT_TRUE(Is(e[4], 146, 0, 0));  // an entry no static colour replaces
}

TEST(PaletteTest, OtherLayoutsUseTheRampsAlone) {
  std::vector<PaletteEntry> e(256);
  const PaletteLayout bgr{8, 3, 5, 3, 2, 2, 0};
  ASSERT_EQ(BuildPaletteEntries(bgr, e.data(), 256), 256);
  EXPECT_TRUE(Is(e[3], 0, 0, 255));
  EXPECT_TRUE(Is(e[91], 73, 219, 255));  // 010 110 11
  const PaletteLayout wide{8, 4, 0, 3, 4, 1, 7};
  ASSERT_EQ(BuildPaletteEntries(wide, e.data(), 256), 256);
  for (const PaletteEntry& p : e) ASSERT_EQ(p.red, 0);  // four bits: always 0
  EXPECT_TRUE(Is(e[0xFF], 0, 255, 255));
  const PaletteLayout four{4, 1, 0, 2, 1, 1, 3};
  EXPECT_EQ(BuildPaletteEntries(four, e.data(), 256), 16);
  EXPECT_TRUE(Is(e[15], 255, 255, 255));
}

TEST(PaletteTest, TooManyEntriesMakeNoPalette) {
  std::vector<PaletteEntry> e(256);
  EXPECT_EQ(BuildPaletteEntries(PaletteLayout{9, 3, 0, 3, 3, 3, 6}, e.data(), 256), 0);
  EXPECT_EQ(BuildPaletteEntries(PaletteLayout{-1, 3, 0, 3, 3, 2, 6}, e.data(), 256), 0);
  EXPECT_EQ(BuildPaletteEntries(PaletteLayout{40, 3, 0, 3, 3, 2, 6}, e.data(), 256), 0);
}

}  // namespace
