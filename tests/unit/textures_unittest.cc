#include "render/textures.h"

#include <gtest/gtest.h>

#include <vector>

#include "bmp_builder.h"

namespace {

TEST(TextureSizeTest, LargestPowerOfTwoNotAbove) {
  const int32_t cases[][2] = {{0, 0},         {1, 1},        {3, 2},         {255, 128},
                              {256, 256},     {65535, 32768}, {100000, 32768}, {-5, 32768},
                              {INT32_MIN, 32768}, {288, 256}, {560, 512}};
  for (const auto& c : cases) EXPECT_EQ(TextureSizeFor(c[0]), c[1]) << c[0];
}

TEST(TextureSizeTest, EdgeIsKeptBelowTheContextLimit) {
  EXPECT_EQ(TextureEdgeFor(320, 256, 4096), 256);
  EXPECT_EQ(TextureEdgeFor(320, 256, 128), 128);
  EXPECT_EQ(TextureEdgeFor(320, 256, 256), 256);
  EXPECT_EQ(TextureEdgeFor(640, 480, 0), 512);  // no context: a safe limit applies
  EXPECT_EQ(TextureEdgeFor(30000, 30000, 0), 1024);
  EXPECT_EQ(TextureEdgeFor(1, 0, 64), 0);
  EXPECT_EQ(TextureEdgeFor(INT32_MAX, INT32_MAX, 64), 64);  // the sum doesn't wrap
}

TEST(PieceRectTest, WorkedExamples) {
  const PieceRect centre = PieceSourceRect(4, 300, 300);
  EXPECT_EQ(centre.x, 100);
  EXPECT_EQ(centre.y, 100);
  EXPECT_EQ(centre.width, 100);
  const PieceRect first = PieceSourceRect(0, 640, 480);
  EXPECT_EQ(first.x, 0);
  EXPECT_EQ(first.y, 320);
  EXPECT_EQ(first.width, 213);
  EXPECT_EQ(first.height, 160);
  const PieceRect last = PieceSourceRect(8, 640, 480);
  EXPECT_EQ(last.x, 426);
  EXPECT_EQ(last.y, 0);
  EXPECT_EQ(PieceSourceRect(2, 2, 2).width, 0);
}

// A w x h 24-bit picture whose pixel at (x, y from the top) is colour(x, y).
void SetPending(int w, int h, const std::function<uint32_t(int, int)>& colour) {
  const std::vector<uint8_t> bytes = BuildPicture(w, h, colour);
  PendingBitmap = LoadBitmapMemory(bytes.data(), bytes.size());
  ASSERT_NE(PendingBitmap, nullptr);
}

uint32_t Texel(const uint8_t* bits, int edge, int x, int y_from_top) {
  const uint8_t* p = bits + ((edge - 1 - y_from_top) * edge + x) * 4;
  return uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

class MakeTextureTest : public ::testing::Test {
 protected:
  void TearDown() override { FreeTextures(); }
};

TEST_F(MakeTextureTest, EachPieceShowsItsNinthUpright) {
  // 3 x 3 pixels, one per piece: piece p is the pixel in row p / 3, column p % 3.
  for (int p = 0; p < 9; ++p) {
    SetPending(3, 3, [](int x, int y) { return 0x101010u * static_cast<uint32_t>(y * 3 + x + 1); });
    EXPECT_EQ(MakeFrontTexture(p), 1);
    EXPECT_EQ(PendingBitmap, nullptr);
  }
  ASSERT_EQ(FrontTextureSize, 2);
  for (int p = 0; p < 9; ++p) {
    ASSERT_NE(FrontPieceBits[p], nullptr);
    for (int t = 0; t < 4; ++t)
      EXPECT_EQ(Texel(FrontPieceBits[p], 2, t % 2, t / 2), 0xFF000000u | 0x101010u * (p + 1)) << p;
  }
}

TEST_F(MakeTextureTest, LogoIsSqueezedWholeIntoASquare) {
  // Left half red, right half blue, top row white.
  SetPending(320, 256, [](int x, int y) { return y == 0 ? 0xFFFFFFu : x < 160 ? 0xFF0000u : 0xFFu; });
  EXPECT_EQ(MakeLogoTexture(), 1);
  ASSERT_EQ(LogoTextureSize, 256);
  ASSERT_NE(LogoBits, nullptr);
  EXPECT_EQ(Texel(LogoBits, 256, 0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(Texel(LogoBits, 256, 0, 128), 0xFFFF0000u);
  EXPECT_EQ(Texel(LogoBits, 256, 127, 255), 0xFFFF0000u);
  EXPECT_EQ(Texel(LogoBits, 256, 128, 255), 0xFF0000FFu);
}

TEST_F(MakeTextureTest, TinyPicturesAndNoPicture) {
  EXPECT_EQ(MakeFrontTexture(0), 0);  // nothing pending: nothing changes
  EXPECT_EQ(FrontPieceBits[0], nullptr);

  SetPending(1, 1, [](int, int) { return 0xFFFFFFu; });
  EXPECT_EQ(MakeFrontTexture(3), 1);
  EXPECT_EQ(FrontTextureSize, 1);
  ASSERT_NE(FrontPieceBits[3], nullptr);
  EXPECT_EQ(Texel(FrontPieceBits[3], 1, 0, 0), 0xFF000000u);  // a 0-wide piece: opaque black

  SetPending(2, 2, [](int, int) { return 0xFFFFFFu; });
  EXPECT_EQ(MakeFrontTexture(3), 1);
  EXPECT_EQ(FrontTextureSize, 2);
  for (int t = 0; t < 4; ++t) EXPECT_EQ(Texel(FrontPieceBits[3], 2, t % 2, t / 2), 0xFF000000u);

  BmpSpec empty;
  empty.width = 1;
  empty.height = 0;
  const std::vector<uint8_t> bytes = BuildBmp(empty);
  PendingBitmap = LoadBitmapMemory(bytes.data(), bytes.size());
  ASSERT_NE(PendingBitmap, nullptr);
  EXPECT_EQ(MakeFrontTexture(3), 1);  // consumed, but no image for an edge of 0
  EXPECT_EQ(PendingBitmap, nullptr);
  EXPECT_EQ(FrontTextureSize, 0);
  EXPECT_EQ(FrontPieceBits[3], nullptr);
}

// The nine pieces and the whole picture, as the saver makes them.
std::vector<std::vector<uint8_t>> AllTextures(const std::vector<uint8_t>& file) {
  std::vector<std::vector<uint8_t>> out;
  for (int p = 0; p <= 9; ++p) {
    PendingBitmap = LoadBitmapMemory(file.data(), file.size());
    if (!PendingBitmap) return out;
    const bool logo = p == 9;
    logo ? MakeLogoTexture() : MakeFrontTexture(p);
    const uint8_t* bits = logo ? LogoBits : FrontPieceBits[p];
    const int edge = logo ? LogoTextureSize : FrontTextureSize;
    out.emplace_back(bits, bits + (bits ? edge * edge * 4 : 0));
  }
  return out;
}

TEST_F(MakeTextureTest, EveryStoredFormGivesTheTexturesOfItsBottomUpTwin) {
  // Eight colours of full components only, so that 16 bits hold them exactly,
  // laid out so that no two pieces and no flipped row look alike.
  const auto colour = [](int x, int y) {
    const uint32_t c = static_cast<uint32_t>((x * 37 + y * 101 + x * y * 11) >> 2) % 8;
    return (c & 4 ? 0xFF0000u : 0) | (c & 2 ? 0xFF00u : 0) | (c & 1 ? 0xFFu : 0);
  };
  const int w = 31, h = 22;  // odd rows, padded rows, pieces of 10 x 7
  const auto want = AllTextures(BuildPicture(w, h, colour));
  ASSERT_EQ(want.size(), 10u);
  ASSERT_EQ(FrontTextureSize, 16);
  for (size_t p = 1; p < want.size(); ++p) {  // a picture, not nine black squares
    for (size_t q = 0; q < p; ++q) ASSERT_NE(want[p], want[q]) << p << " " << q;
  }
  const struct {
    const char* name;
    PictureForm form;
  } twins[] = {{"top-down, size stored", PictureForm::kTopDown24},
               {"top-down, no size", PictureForm::kTopDown24NoSize},
               {"16-bit fields and a colour table", PictureForm::kFields16WithTable},
               {"32-bit fields and a colour table", PictureForm::kFields32WithTable}};
  for (const auto& twin : twins) {
    const auto got = AllTextures(BuildPicture(w, h, colour, twin.form));
    ASSERT_EQ(got.size(), want.size()) << twin.name;
    for (size_t p = 0; p < want.size(); ++p) EXPECT_EQ(got[p], want[p]) << twin.name << ", image " << p;
  }
}

TEST_F(MakeTextureTest, SecondImageReplacesTheFirst) {
  SetPending(6, 6, [](int, int) { return 0x00FF00u; });
  MakeFrontTexture(5);
  SetPending(12, 12, [](int, int) { return 0x0000FFu; });
  MakeFrontTexture(5);
  ASSERT_EQ(FrontTextureSize, 8);
  EXPECT_EQ(Texel(FrontPieceBits[5], 8, 7, 7), 0xFF0000FFu);
}

}  // namespace
