#include "render/bitmap.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bmp_builder.h"

namespace {

struct Loaded {
  PackedBitmap* block = nullptr;
  ~Loaded() {
    if (block) FreePackedBitmap(block);
  }
  BitmapInfoHeader header() const { return PackedBitmapHeader(block); }
  size_t pixel_offset() const { return static_cast<size_t>(PackedBitmapPixels(block) - block); }
};

void LoadFile(const std::string& name, const BmpSpec& spec, Loaded* out) {
  out->block = LoadBitmapFile(WriteTempFile(name, BuildBmp(spec)).c_str());
}

std::vector<uint8_t> Bytes(size_t n, uint8_t first) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(first + i);
  return v;
}

TEST(BitmapCountsTest, ColorCountAndTableSizeFollowTheHeader) {
  BitmapInfoHeader h{};
  h.biSize = 40;
  h.biBitCount = 8;
  EXPECT_EQ(BitmapColorCount(&h), 256);
  EXPECT_EQ(ColorTableSize(&h), 1024);
  h.biClrUsed = 16;
  EXPECT_EQ(BitmapColorCount(&h), 16);
  h.biBitCount = 24;
  h.biClrUsed = 0;
  EXPECT_EQ(BitmapColorCount(&h), 0);
  h.biBitCount = 16;
  h.biCompression = BI_BITFIELDS_CODE;
  EXPECT_EQ(ColorTableSize(&h), 12);
  const uint8_t core[12] = {12, 0, 0, 0, 1, 0, 1, 0, 1, 0, 4, 0};
  EXPECT_EQ(BitmapColorCount(core), 16);
  EXPECT_EQ(ColorTableSize(core), 48);
}

TEST(BitmapCountsTest, RowSizeRule) {
  EXPECT_EQ(BitmapRowBytes(1, 1), 4);
  EXPECT_EQ(BitmapImageBytes(1, 3, 1), 12);
  EXPECT_EQ(BitmapRowBytes(3, 24), 12);
  EXPECT_EQ(BitmapRowBytes(320, 4), 160);
  EXPECT_EQ(BitmapImageBytes(2, -2, 32), -16);
  // Sizes past 64 bits saturate rather than wrap.
  EXPECT_EQ(BitmapImageBytes(INT32_MAX, INT32_MAX, 65535), INT64_MAX);
  EXPECT_EQ(BitmapImageBytes(INT32_MAX, INT32_MIN, 65535), INT64_MIN);
}

TEST(BitmapFileTest, TwentyFourBitsReadFromOffBits) {
  BmpSpec s;
  s.width = 2;
  s.height = 2;
  s.extra_gap = 6;  // the pixels are found through bfOffBits, not by position
  s.pixels = Bytes(16, 1);
  Loaded b;
  LoadFile("rgb24.bmp", s, &b);
  ASSERT_NE(b.block, nullptr);
  EXPECT_EQ(b.pixel_offset(), 40u);
  EXPECT_EQ(b.header().biSizeImage, 16);
  EXPECT_EQ(b.header().biClrUsed, 0u);
  EXPECT_EQ(PackedBitmapBytes(b.block), 56u);
  EXPECT_EQ(std::vector<uint8_t>(b.block + 40, b.block + 56), s.pixels);
}

TEST(BitmapFileTest, EightBitTablesAndWhereThePixelsStart) {
  BmpSpec s;
  s.bit_count = 8;
  s.width = 4;
  s.table = Bytes(1024, 0);
  s.pixels = {7, 8, 9, 10};
  Loaded full;
  LoadFile("pal256.bmp", s, &full);
  ASSERT_NE(full.block, nullptr);
  EXPECT_EQ(full.pixel_offset(), 1064u);
  EXPECT_EQ(full.header().biClrUsed, 256u);
  EXPECT_EQ(full.block[1064], 7);

  s.clr_used = 16;
  s.table = Bytes(64, 0);
  Loaded small;
  LoadFile("pal16.bmp", s, &small);
  ASSERT_NE(small.block, nullptr);
  EXPECT_EQ(small.pixel_offset(), 104u);
  EXPECT_EQ(small.block[40 + 63], 63);
  EXPECT_EQ(small.block[104], 7);
}

TEST(BitmapFileTest, WithoutFileHeaderThePixelsFollowTheTable) {
  BmpSpec s;
  s.file_header = false;
  s.bit_count = 4;
  s.clr_used = 2;
  s.table = {1, 2, 3, 0, 4, 5, 6, 0};
  s.pixels = {0x10, 0, 0, 0};
  Loaded b;
  LoadFile("bare.bmp", s, &b);
  ASSERT_NE(b.block, nullptr);
  EXPECT_EQ(b.pixel_offset(), 48u);
  EXPECT_EQ(b.block[44], 4);
  EXPECT_EQ(b.block[48], 0x10);
}

TEST(BitmapFileTest, CoreHeaderIsWidened) {
  BmpSpec s;
  s.header_size = 12;
  s.bit_count = 8;
  s.width = 3;
  s.height = 2;
  for (int i = 0; i < 256; ++i) s.table.insert(s.table.end(), {uint8_t(i), uint8_t(i + 1), 9});
  s.pixels = Bytes(8, 100);
  Loaded b;
  LoadFile("core.bmp", s, &b);
  ASSERT_NE(b.block, nullptr);
  const BitmapInfoHeader h = b.header();
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 3);
  EXPECT_EQ(h.biHeight, 2);
  EXPECT_EQ(h.biCompression, 0u);
  EXPECT_EQ(h.biSizeImage, 8);
  EXPECT_EQ(h.biXPelsPerMeter, 0);
  EXPECT_EQ(h.biClrUsed, 256u);
  EXPECT_EQ(h.biClrImportant, 256u);
  EXPECT_EQ(b.pixel_offset(), 1064u);
  for (int i : {0, 1, 200, 255}) {
    EXPECT_EQ(b.block[40 + i * 4], uint8_t(i));
    EXPECT_EQ(b.block[40 + i * 4 + 1], uint8_t(i + 1));
    EXPECT_EQ(b.block[40 + i * 4 + 2], 9);
    EXPECT_EQ(b.block[40 + i * 4 + 3], 0);
  }
  EXPECT_EQ(b.block[1064], 100);
}

TEST(BitmapFileTest, MasksAndTheirAbsence) {
  BmpSpec s;
  s.bit_count = 16;
  s.compression = BI_BITFIELDS_CODE;
  s.table = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
  s.pixels = {0x1F, 0x00, 0, 0};
  Loaded fields;
  LoadFile("fields.bmp", s, &fields);
  ASSERT_NE(fields.block, nullptr);
  EXPECT_EQ(fields.pixel_offset(), 52u);
  EXPECT_EQ(std::vector<uint8_t>(fields.block + 40, fields.block + 52), s.table);

  BmpSpec t;
  t.bit_count = 32;
  t.pixels = {1, 2, 3, 4};
  Loaded plain;
  LoadFile("rgb32.bmp", t, &plain);
  ASSERT_NE(plain.block, nullptr);
  EXPECT_EQ(plain.pixel_offset(), 40u);
  EXPECT_EQ(plain.block[40], 1);
  t.file_header = false;
  Loaded bare;
  LoadFile("rgb32bare.bmp", t, &bare);
  ASSERT_NE(bare.block, nullptr);
  EXPECT_EQ(bare.block[43], 4);
}

TEST(BitmapFileTest, OneBitColumnGetsFourByteRows) {
  BmpSpec s;
  s.bit_count = 1;
  s.height = 3;
  s.table = Bytes(8, 0);
  s.pixels = Bytes(12, 0);
  Loaded b;
  LoadFile("mono.bmp", s, &b);
  ASSERT_NE(b.block, nullptr);
  EXPECT_EQ(b.header().biSizeImage, 12);
}

TEST(BitmapFileTest, RefusedFiles) {
  std::vector<std::pair<std::string, BmpSpec>> cases;
  BmpSpec v4;
  v4.header_size = 108;
  cases.push_back({"v4.bmp", v4});
  BmpSpec v5;
  v5.header_size = 124;
  cases.push_back({"v5.bmp", v5});
  BmpSpec odd;
  odd.header_size = 64;
  cases.push_back({"hdr64.bmp", odd});
  BmpSpec top_down_rle;  // run-length data is always stored bottom-up
  top_down_rle.bit_count = 8;
  top_down_rle.compression = BI_RLE8_CODE;
  top_down_rle.height = -4;
  top_down_rle.size_image = 2;
  top_down_rle.pixels = {0, 1};
  cases.push_back({"topdownrle.bmp", top_down_rle});
  BmpSpec no_twin;  // a top-down height with no bottom-up twin
  no_twin.width = 0;
  no_twin.height = INT32_MIN;
  cases.push_back({"topdownmin.bmp", no_twin});
  BmpSpec negative;
  negative.size_image = -8;
  cases.push_back({"negsize.bmp", negative});
  BmpSpec many;  // a count the 16-bit table size can't hold
  many.bit_count = 8;
  many.clr_used = 70000;
  cases.push_back({"manycolors.bmp", many});
  BmpSpec long_table;
  long_table.bit_count = 8;
  long_table.clr_used = 20000;
  cases.push_back({"longtable.bmp", long_table});
  BmpSpec vast;  // a stored size, but rows that need more than 64 bits
  vast.width = INT32_MAX;
  vast.height = INT32_MIN;
  vast.bit_count = 0xFFF0;
  vast.size_image = 16;
  cases.push_back({"vast.bmp", vast});
  BmpSpec huge;
  huge.width = 1 << 20;
  huge.height = 1 << 12;
  cases.push_back({"huge.bmp", huge});
  for (const auto& c : cases) {
    Loaded b;
    LoadFile(c.first, c.second, &b);
    EXPECT_EQ(b.block, nullptr) << c.first;
  }
}

TEST(BitmapFileTest, ShortHeadersAreRefusedEvenForCoreHeaders) {
  BmpSpec core;
  core.header_size = 12;
  core.bit_count = 24;
  std::vector<uint8_t> bytes = BuildBmp(core);
  bytes.resize(14 + 39);  // a core header and 27 more bytes: one short of 40
  EXPECT_EQ(LoadBitmapFile(WriteTempFile("shortcore.bmp", bytes).c_str()), nullptr);
  bytes.push_back(0);
  PackedBitmap* b = LoadBitmapFile(WriteTempFile("core40.bmp", bytes).c_str());
  ASSERT_NE(b, nullptr);
  FreePackedBitmap(b);
  EXPECT_EQ(LoadBitmapMemory(bytes.data(), 30), nullptr);
  EXPECT_EQ(LoadBitmapFile(WriteTempFile("empty.bmp", {}).c_str()), nullptr);
}

TEST(BitmapFileTest, MissingFilesEmptyPathsAndWhatIsNoFile) {
  EXPECT_EQ(LoadBitmapFile(""), nullptr);
  EXPECT_EQ(LoadBitmapFile(nullptr), nullptr);
  EXPECT_EQ(LoadBitmapFile("no-such-directory/no-such-file.bmp"), nullptr);
  const std::string folder = WriteTempFile("folder.bmp", {});
  std::remove(folder.c_str());
#ifdef _WIN32
  ASSERT_EQ(mkdir(folder.c_str()), 0);
#else
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  // A pipe nobody writes to would hold the saver up for ever if it were opened.
  const std::string pipe = WriteTempFile("pipe.bmp", {});
  std::remove(pipe.c_str());
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(LoadBitmapFile(pipe.c_str()), nullptr);
  std::remove(pipe.c_str());
#endif
  EXPECT_EQ(LoadBitmapFile(folder.c_str()), nullptr);
  rmdir(folder.c_str());
}

TEST(BitmapFileTest, ShortPixelDataIsZeroFilledAndSmallSizesAreWidened) {
  BmpSpec s;
  s.width = 4;
  s.height = 4;
  s.size_image = 8;  // the rows need 48
  s.pixels = std::vector<uint8_t>(8, 0xAB);
  Loaded b;
  LoadFile("smallsize.bmp", s, &b);
  ASSERT_NE(b.block, nullptr);
  EXPECT_EQ(b.header().biSizeImage, 48);
  ASSERT_EQ(PackedBitmapBytes(b.block), 88u);
  EXPECT_EQ(b.block[47], 0xAB);
  for (size_t i = 48; i < 88; ++i) ASSERT_EQ(b.block[i], 0) << i;

  // Compressed data keeps its stored size: the decoder stops at its end.
  BmpSpec rle;
  rle.bit_count = 8;
  rle.compression = BI_RLE8_CODE;
  rle.width = 100;
  rle.height = 100;
  rle.size_image = 4;
  rle.table = Bytes(1024, 0);
  rle.pixels = {2, 1, 0, 1};
  Loaded r;
  LoadFile("rle8.bmp", rle, &r);
  ASSERT_NE(r.block, nullptr);
  EXPECT_EQ(PackedBitmapBytes(r.block), 40u + 1024 + 4);
}

TEST(BitmapFileTest, LongPathsOpen) {
  BmpSpec s;
  s.pixels = {1, 2, 3, 0};
  std::string base = WriteTempFile("x", {});
  base.resize(base.size() - 1);
  std::string name(259 - base.size() - 4, 'p');
  const std::string path = WriteTempFile(name + ".bmp", BuildBmp(s));
  ASSERT_EQ(path.size(), 259u);
  PackedBitmap* b = LoadBitmapFile(path.c_str());
  ASSERT_NE(b, nullptr) << path;
  EXPECT_EQ(b[40], 1);
  FreePackedBitmap(b);
}

}  // namespace
