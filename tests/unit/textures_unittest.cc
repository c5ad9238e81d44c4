// The texture images made from a picture: their edge, the nine pieces and
// the whole picture. On Windows the same tests run through GDI.
#include "render/textures.h"

#include <gtest/gtest.h>

#include <vector>

#include "bmp_builder.h"

namespace {

TEST(TextureSizeTest, EdgesAndPixelRectangles) {
  const int32_t sizes[][2] = {{0, 0}, {1, 1}, {3, 2}, {255, 128}, {256, 256}, {65535, 32768},
                              {100000, 32768}, {-5, 32768}, {INT32_MIN, 32768}};
  for (const auto& s : sizes) EXPECT_EQ(TextureSizeFor(s[0]), s[1]) << s[0];
  const int32_t edges[][4] = {{320, 256, 4096, 256}, {320, 256, 128, 128}, {320, 256, 256, 256},
                              {640, 480, 0, 512},  // no context: a safe limit
                              {30000, 30000, 0, 1024}, {1, 0, 64, 0},
                              {INT32_MAX, INT32_MAX, 64, 64}};  // the sum doesn't wrap
  for (const auto& e : edges) EXPECT_EQ(TextureEdgeFor(e[0], e[1], e[2]), e[3]) << e[0] << "x" << e[1];
  const int32_t rects[][7] = {{4, 300, 300, 100, 100, 100, 100}, {0, 640, 480, 0, 320, 213, 160},
                              {8, 640, 480, 426, 0, 213, 160},  {2, 2, 2, 1, 1, 0, 0}};
  for (const auto& r : rects) {
    const PixelRect p = PieceSourceRect(r[0], r[1], r[2]);
    EXPECT_TRUE(p.x == r[3] && p.y == r[4] && p.width == r[5] && p.height == r[6]) << r[0] << " of " << r[1];
  }
}

uint32_t Texel(const uint8_t* bits, int edge, int x, int y_from_top) {
  const uint8_t* p = bits + ((edge - 1 - y_from_top) * edge + x) * 4;
  return uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
}

void Pend(const std::vector<uint8_t>& file) {
  PendingBitmap = LoadBitmapMemory(file.data(), file.size());
  ASSERT_NE(PendingBitmap, nullptr);
}

TEST(MakeTextureTest, PiecesAndTheWholePictureAsTheSaverMakesThem) {
  EXPECT_EQ(MakeFrontTexture(0), 0);  // nothing pending: nothing made
  EXPECT_EQ(FrontPieceBits[0], nullptr);
  // 3 x 3 pixels, one per piece: piece p is the pixel in row p / 3, column p % 3.
  for (int p = 0; p < 9; ++p) {
    Pend(BuildPicture(3, 3, [](int x, int y) { return 0x101010u * static_cast<uint32_t>(y * 3 + x + 1); }));
    EXPECT_EQ(MakeFrontTexture(p), 1);
    EXPECT_EQ(PendingBitmap, nullptr);  // consumed
  }
  ASSERT_EQ(FrontTextureSize, 2);
  for (int p = 0; p < 9; ++p) {  // each its own, after all nine are made
    ASSERT_NE(FrontPieceBits[p], nullptr);
    for (int t = 0; t < 4; ++t) EXPECT_EQ(Texel(FrontPieceBits[p], 2, t % 2, t / 2), 0xFF000000u | 0x101010u * (p + 1)) << p;
  }
  // The logo: 320 x 256 squeezed whole into 256 x 256, upright, texel d
  // taking source column d * 320 / 256, rounded down.
  Pend(BuildPicture(320, 256, [](int x, int y) { return y == 0 ? 0xFFFFFFu : uint32_t(x); }));
  EXPECT_EQ(MakeLogoTexture(), 1);
  ASSERT_EQ(LogoTextureSize, 256);
  EXPECT_EQ(Texel(LogoBits, 256, 0, 0), 0xFFFFFFFFu);
#ifndef _WIN32  // GDI takes other neighbours (the GDI pictures test names the rule)
  const int32_t columns[][2] = {{1, 1}, {3, 3}, {127, 158}, {128, 160}, {255, 318}};
  for (const auto& [d, x] : columns) EXPECT_EQ(Texel(LogoBits, 256, d, 200), 0xFF000000u | x) << d;
#endif
  // A second image for a slot replaces the first; pictures too small for
  // pieces give opaque black ones, and an edge of 0 none.
  const struct { int w, h, edge; uint32_t texel; } pictures[] = {
      {12, 12, 8, 0xFF0000FFu}, {1, 1, 1, 0xFF000000u}, {1, 0, 0, 0}};
  for (const auto& c : pictures) {
    Pend(BuildPicture(c.w, c.h, [](int, int) { return 0x0000FFu; }));
    EXPECT_TRUE(MakeFrontTexture(5) == 1 && PendingBitmap == nullptr) << c.w << "x" << c.h;
    EXPECT_EQ(FrontTextureSize, c.edge) << c.w << "x" << c.h;
    ASSERT_EQ(FrontPieceBits[5] != nullptr, c.edge != 0) << c.w << "x" << c.h;
    EXPECT_TRUE(!c.edge || Texel(FrontPieceBits[5], c.edge, c.edge - 1, c.edge - 1) == c.texel);
  }
  FreeTextures();
}

}  // namespace
