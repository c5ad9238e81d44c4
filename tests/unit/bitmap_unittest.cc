// The bitmap reader: where each part of a file lands in the block, what it
// fills in, and what it refuses. (What the pixels decode to is checked for
// every stored form against ImageMagick and GDI.)
#include "render/bitmap.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "bmp_builder.h"

namespace {

std::vector<uint8_t> Count(size_t n, uint8_t first = 0) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(first + i);
  return v;
}

BmpFields Spec(const std::function<void(BmpFields&)>& change) {
  BmpFields s;
  change(s);
  return s;
}

TEST(BitmapFileTest, TheBlockHoldsHeaderTableAndPixelsAsTheFileSaysThem) {
  const struct {
    const char* what;
    BmpFields spec;
    size_t pixels_at, block_bytes;
    int32_t size_image;
    uint32_t colours;
    size_t probe;  // a byte of the block, and what it must hold
    uint8_t probe_value;
  } cases[] = {
      {"24 bits, pixels found through bfOffBits", Spec([](BmpFields& s) {
         s.width = s.height = 2; s.extra_gap = 6; s.pixels = Count(16, 1); }), 40, 56, 16, 0, 55, 16},
      {"8 bits, the whole table", Spec([](BmpFields& s) {
         s.bit_count = 8; s.width = 4; s.table = Count(1024); s.pixels = {7, 8, 9, 10}; }), 1064, 1068, 4, 256, 1064, 7},
      {"8 bits, 16 colours", Spec([](BmpFields& s) {
         s.bit_count = 8; s.width = 4; s.clr_used = 16; s.table = Count(64); s.pixels = {7, 8, 9, 10}; }), 104, 108, 4, 16, 103, 63},
      {"no file header: the pixels follow the table", Spec([](BmpFields& s) {
         s.file_header = false; s.bit_count = 4; s.clr_used = 2; s.table = {1, 2, 3, 0, 4, 5, 6, 0};
         s.pixels = {0x10, 0, 0, 0}; }), 48, 52, 4, 2, 48, 0x10},
      {"core header: a widened table", Spec([](BmpFields& s) {
         s.header_size = 12; s.bit_count = 8; s.width = 3; s.height = 2;
         for (int i = 0; i < 256; ++i) s.table.insert(s.table.end(), {uint8_t(i), uint8_t(i + 1), 9});
         s.pixels = std::vector<uint8_t>(8, 100); }), 1064, 1072, 8, 256, 40 + 4 * 200 + 1, 201},
      {"16-bit fields: the masks at 40", Spec([](BmpFields& s) {
         s.bit_count = 16; s.compression = BI_BITFIELDS_CODE;
         s.table = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0}; s.pixels = {0x1F, 0, 0, 0}; }),
       52, 56, 4, 0, 41, 0xF8},
      {"32 bits, no masks", Spec([](BmpFields& s) { s.bit_count = 32; s.pixels = {1, 2, 3, 4}; }), 40, 44, 4, 0, 43, 4},
      {"32 bits, no masks, no file header", Spec([](BmpFields& s) {
         s.file_header = false; s.bit_count = 32; s.pixels = {1, 2, 3, 4}; }), 40, 44, 4, 0, 43, 4},
      {"1 bit, one column of three: 4-byte rows", Spec([](BmpFields& s) {
         s.bit_count = 1; s.height = 3; s.table = Count(8); s.pixels = Count(12); }), 48, 60, 12, 2, 59, 11},
      {"a stored size short of the rows: widened, the rest zero", Spec([](BmpFields& s) {
         s.width = s.height = 4; s.size_image = 8; s.pixels = std::vector<uint8_t>(8, 0xAB); }), 40, 88, 48, 0, 48, 0},
      {"top-down rows of no bits: the height turned positive at once", Spec([](BmpFields& s) {
         s.bit_count = 0; s.width = 13; s.height = -2000000000; }), 44, 44, 0, 1, 11, 0x77},
      {"run-length data keeps its stored size", Spec([](BmpFields& s) {
         s.bit_count = 8; s.compression = BI_RLE8_CODE; s.width = s.height = 100; s.size_image = 4;
         s.table = Count(1024); s.pixels = {2, 1, 0, 1}; }), 1064, 1068, 4, 256, 1067, 1},
  };
  for (const auto& c : cases) {
    const std::vector<uint8_t> bytes = BmpFileBytes(c.spec);
    PackedBitmap* b = LoadBitmapFile(WriteTempFile("layout.bmp", bytes).c_str());
    ASSERT_NE(b, nullptr) << c.what;
    const BitmapInfoHeader h = PackedBitmapHeader(b);
    EXPECT_EQ(size_t(PackedBitmapPixels(b) - b), c.pixels_at) << c.what;
    EXPECT_EQ(PackedBitmapBytes(b), c.block_bytes) << c.what;
    EXPECT_TRUE(h.biSize == 40 && h.biSizeImage == c.size_image && h.biClrUsed == c.colours) << c.what;
    EXPECT_EQ(b[c.probe], c.probe_value) << c.what;
    if (c.spec.header_size == 12) {  // widened: no compression, no resolution, the count twice
      EXPECT_TRUE(h.biCompression == 0 && h.biXPelsPerMeter == 0 && h.biClrImportant == 256 && b[43] == 0);
    }
    FreePackedBitmap(b);
  }
}

// (A later header, a picture past the size limit, and paths that name no
// plain file: the picture tests, with the reason.)
TEST(BitmapFileTest, WhatIsRefused) {
  const std::vector<uint8_t> good = BmpFileBytes(BmpFields());
  std::vector<uint8_t> short_core = BmpFileBytes(Spec([](BmpFields& s) { s.header_size = 12; }));
  short_core.resize(14 + 39);  // a core header, and one byte short of 40 all the same
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"a negative size", BmpFileBytes(Spec([](BmpFields& s) { s.size_image = -8; }))},
      {"more colours than 16 bits count", BmpFileBytes(Spec([](BmpFields& s) { s.bit_count = 8; s.clr_used = 70000; }))},
      {"a table past 65535 bytes", BmpFileBytes(Spec([](BmpFields& s) { s.bit_count = 8; s.clr_used = 20000; }))},
      {"rows of more than 64 bits", BmpFileBytes(Spec([](BmpFields& s) {
         s.width = INT32_MAX; s.height = INT32_MIN; s.bit_count = 0xFFF0; s.size_image = 16; }))},
      {"top-down run-length data", BmpFileBytes(Spec([](BmpFields& s) {
         s.bit_count = 8; s.compression = BI_RLE8_CODE; s.height = -4; s.size_image = 2; s.pixels = {0, 1}; }))},
      {"a top-down height with no twin", BmpFileBytes(Spec([](BmpFields& s) { s.width = 0; s.height = INT32_MIN; }))},
      {"a core header in 39 bytes", short_core},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LoadBitmapFile(WriteTempFile("refused.bmp", c.bytes).c_str()), nullptr) << c.what;
  }
  // A path of 259 characters opens.
  std::string base = WriteTempFile("x", {});
  const std::string long_path = WriteTempFile(std::string(259 - base.size() - 3, 'p') + ".bmp", good);
  ASSERT_EQ(long_path.size(), 259u);
  PackedBitmap* b = LoadBitmapFile(long_path.c_str());
  EXPECT_NE(b, nullptr);
  if (b) FreePackedBitmap(b);
}

// (The common counts, tables and row sizes: the block's layouts above.)
TEST(BitmapFileTest, SizesAndCountsFollowTheHeader) {
  BitmapInfoHeader h{};
  h.biSize = 40;
  h.biBitCount = 8;
  h.biClrUsed = 0x10005;  // the count's low 16 bits
  EXPECT_TRUE(BitmapColorCount(&h) == 5 && ColorTableSize(&h) == 20);
  const int64_t sizes[][4] = {{320, 1, 4, 160}, {2, -2, 32, -16}, {INT32_MAX, INT32_MAX, 65535, INT64_MAX},
                              {INT32_MAX, INT32_MIN, 65535, INT64_MIN}};
  for (const auto& s : sizes) {  // past 64 bits the sizes saturate
    EXPECT_EQ(BitmapImageBytes(int32_t(s[0]), int32_t(s[1]), int32_t(s[2])), s[3]) << s[0] << "x" << s[1];
  }
}

}  // namespace
