#include "render/dib_decode.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "bmp_builder.h"

namespace {

struct Decoded {
  int w = 0, h = 0;
  std::vector<uint8_t> px;  // BGRA, bottom-up
  bool ok = false;
  // The pixel at column x of row y counted from the top, as 0xRRGGBB; -1 if untouched.
  long At(int x, int y) const {
    const uint8_t* p = &px[((h - 1 - y) * w + x) * 4];
    if (p[3] == 0) return -1;
    return long{p[2]} << 16 | long{p[1]} << 8 | p[0];
  }
};

Decoded Decode(const BmpSpec& spec) {
  const std::vector<uint8_t> bytes = BuildBmp(spec);
  PackedBitmap* b = LoadBitmapMemory(bytes.data(), bytes.size());
  Decoded d;
  if (!b) return d;
  const BitmapInfoHeader h = PackedBitmapHeader(b);
  d.w = h.biWidth;
  d.h = h.biHeight;  // the reader turns top-down rows upright
  d.px.assign(DecodedBytes(b), 0);
  d.ok = DecodePackedBitmap(b, d.px.data());
  FreePackedBitmap(b);
  return d;
}

// Four entries: black, red, green, blue.
const std::vector<uint8_t> kTable = {0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};

TEST(DibDecodeTest, PaletteFormatsBottomUp) {
  BmpSpec s;
  s.width = 3;
  s.height = 2;
  s.table = kTable;
  s.clr_used = 4;
  s.bit_count = 8;
  s.pixels = {1, 2, 3, 0, /* top row: */ 3, 0, 1, 0};
  Decoded d = Decode(s);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.At(0, 0), 0x0000FF);
  EXPECT_EQ(d.At(1, 0), 0x000000);
  EXPECT_EQ(d.At(2, 0), 0xFF0000);
  EXPECT_EQ(d.At(0, 1), 0xFF0000);
  EXPECT_EQ(d.At(2, 1), 0x0000FF);

  s.bit_count = 4;
  s.pixels = {0x12, 0x30, 0, 0, 0x31, 0x00, 0, 0};
  d = Decode(s);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.At(0, 0), 0x0000FF);
  EXPECT_EQ(d.At(1, 0), 0xFF0000);
  EXPECT_EQ(d.At(2, 0), 0x000000);
  EXPECT_EQ(d.At(1, 1), 0x00FF00);

  s.bit_count = 1;
  s.width = 9;
  s.pixels = {0x80, 0x80, 0, 0, 0x7F, 0x00, 0, 0};
  d = Decode(s);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.At(0, 0), 0x000000);
  EXPECT_EQ(d.At(1, 0), 0xFF0000);
  EXPECT_EQ(d.At(0, 1), 0xFF0000);
  EXPECT_EQ(d.At(8, 1), 0xFF0000);
  EXPECT_EQ(d.At(7, 1), 0x000000);
}

TEST(DibDecodeTest, IndexPastTheTableIsBlack) {
  BmpSpec s;
  s.bit_count = 8;
  s.width = 2;
  s.clr_used = 2;
  s.table = {0, 0, 255, 0, 255, 255, 255, 0};
  s.pixels = {1, 200, 0, 0};
  Decoded d = Decode(s);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.At(0, 0), 0xFFFFFF);
  EXPECT_EQ(d.At(1, 0), 0x000000);
}

TEST(DibDecodeTest, DirectColourFormatsAndTopDown) {
  BmpSpec s;
  s.width = 2;
  s.height = -2;  // top-down: the first stored row is the top one
  s.size_image = 16;
  s.pixels = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0, 0, 1, 2, 3, 4, 5, 6, 0, 0};
  Decoded d = Decode(s);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.At(0, 0), 0x302010);
  EXPECT_EQ(d.At(1, 0), 0x605040);
  EXPECT_EQ(d.At(0, 1), 0x030201);

  BmpSpec t;
  t.bit_count = 32;
  t.pixels = {0x11, 0x22, 0x33, 0x00};
  d = Decode(t);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.At(0, 0), 0x332211);

  BmpSpec u;  // 16 bits, 5-5-5 without masks: full red
  u.bit_count = 16;
  u.pixels = {0x00, 0x7C, 0, 0};
  d = Decode(u);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.At(0, 0), 0xFF0000);

  u.compression = BI_BITFIELDS_CODE;  // 5-6-5 masks: full green
  u.table = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
  u.pixels = {0xE0, 0x07, 0, 0};
  d = Decode(u);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.At(0, 0), 0x00FF00);

  BmpSpec v;  // 32 bits with masks in another order
  v.bit_count = 32;
  v.compression = BI_BITFIELDS_CODE;
  v.table = {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0};  // red low, blue high
  v.pixels = {0x12, 0x34, 0x56, 0};
  d = Decode(v);
  ASSERT_TRUE(d.ok);
  EXPECT_EQ(d.At(0, 0), 0x123456);
}

TEST(DibDecodeTest, RunLengthEightWithDeltaAndAbsoluteRuns) {
  BmpSpec s;
  s.bit_count = 8;
  s.compression = BI_RLE8_CODE;
  s.width = 6;
  s.height = 3;
  s.clr_used = 4;
  s.table = kTable;
  s.pixels = {
      3, 1,            // bottom row: three red
      0, 3, 2, 3, 1, 0,  // absolute: green, blue, red, padded
      0, 0,            // end of line
      0, 2, 2, 1,      // delta: right 2, up 1 (to the top row)
      2, 3,            // two blue at x 2..3
      0, 1,            // end of bitmap
      5, 1,            // never read
  };
  s.size_image = static_cast<int32_t>(s.pixels.size());
  Decoded d = Decode(s);
  ASSERT_TRUE(d.ok);
  for (int x = 0; x < 3; ++x) EXPECT_EQ(d.At(x, 2), 0xFF0000);
  EXPECT_EQ(d.At(3, 2), 0x00FF00);
  EXPECT_EQ(d.At(4, 2), 0x0000FF);
  EXPECT_EQ(d.At(5, 2), 0xFF0000);
  EXPECT_EQ(d.At(0, 1), -1);  // skipped by the delta
  EXPECT_EQ(d.At(2, 0), 0x0000FF);
  EXPECT_EQ(d.At(3, 0), 0x0000FF);
  EXPECT_EQ(d.At(4, 0), -1);
}

TEST(DibDecodeTest, RunLengthFourAlternatesNibbles) {
  BmpSpec s;
  s.bit_count = 4;
  s.compression = BI_RLE4_CODE;
  s.width = 8;
  s.height = 1;
  s.clr_used = 4;
  s.table = kTable;
  s.pixels = {5, 0x12, 0, 3, 0x31, 0x20, 0, 1};
  s.size_image = static_cast<int32_t>(s.pixels.size());
  Decoded d = Decode(s);
  ASSERT_TRUE(d.ok);
  const long want[8] = {0xFF0000, 0x00FF00, 0xFF0000, 0x00FF00, 0xFF0000,
                        0x0000FF, 0xFF0000, 0x00FF00};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(d.At(x, 0), want[x]) << x;
}

TEST(DibDecodeTest, UnknownFormsDrawNothing) {
  BmpSpec s;
  s.bit_count = 7;
  s.pixels = {1, 2, 3, 4};
  EXPECT_FALSE(Decode(s).ok);
  s.bit_count = 24;
  s.compression = 4;  // BI_JPEG
  s.size_image = 4;
  EXPECT_FALSE(Decode(s).ok);
  s.compression = BI_RLE8_CODE;  // run-length data must be 8 bits
  EXPECT_FALSE(Decode(s).ok);
}

// Broken run-length streams and headers: whatever the bytes say, every
// read stays in the block and every write in the image (run under the
// address sanitizer on Linux).
TEST(DibDecodeTest, RandomRunLengthStreamsStayInBounds) {
  std::mt19937 random(12345);
  for (int round = 0; round < 3000; ++round) {
    BmpSpec s;
    const bool four = round % 2;
    s.bit_count = four ? 4 : 8;
    s.compression = four ? BI_RLE4_CODE : BI_RLE8_CODE;
    s.width = 1 + static_cast<int>(random() % 40);
    s.height = 1 + static_cast<int>(random() % 40);
    s.clr_used = 1 + random() % 16;
    s.table.assign(s.clr_used * 4, 0x80);
    s.pixels.resize(random() % 200);
    for (uint8_t& b : s.pixels) b = static_cast<uint8_t>(random() % 4 == 0 ? random() % 3 : random());
    s.size_image = static_cast<int32_t>(s.pixels.size());
    Decoded d = Decode(s);
    ASSERT_TRUE(d.ok);
  }
}

TEST(StretchTest, NearestPixelOfTheSourceRectangle) {
  // A 4 x 2 image, bottom row 0..3, top row 10..13 (stored in the blue byte).
  std::vector<uint8_t> image(4 * 2 * 4, 0);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) image[(y * 4 + x) * 4] = static_cast<uint8_t>(y * 10 + x);
  std::vector<uint8_t> tex(4 * 4 * 4, 0xCC);
  StretchDecodedImage(image.data(), 4, 2, 2, 1, 2, 1, tex.data(), 4);  // top right 2 x 1
  const uint8_t want_row[4] = {12, 12, 13, 13};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(tex[(y * 4 + x) * 4], want_row[x]);

  std::vector<uint8_t> untouched(16, 0xCC);
  StretchDecodedImage(image.data(), 4, 2, 0, 0, 0, 2, untouched.data(), 2);
  EXPECT_EQ(untouched, std::vector<uint8_t>(16, 0xCC));
  StretchDecodedImage(image.data(), 4, 2, 3, 1, 5, 5, untouched.data(), 2);  // past the edge
  EXPECT_EQ(untouched[0], 13);
  EXPECT_EQ(untouched[4], 0xCC);  // source column 5 is outside: left alone
}

}  // namespace
