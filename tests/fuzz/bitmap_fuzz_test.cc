// Mutated bitmap files through the reader, the decoder and the stretch.
// Built with the address and undefined-behaviour sanitizers on Linux, so a
// read outside a block fails the test.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "bmp_builder.h"
#include "render/bitmap.h"
#include "render/dib_decode.h"
#include "render/textures.h"

extern const uint8_t LogoResource[];
extern const size_t LogoResourceSize;

namespace {

std::vector<std::vector<uint8_t>> Seeds() {
  std::vector<std::vector<uint8_t>> seeds;
  seeds.emplace_back(LogoResource, LogoResource + LogoResourceSize);
  for (uint16_t bits : {1, 4, 8, 16, 24, 32}) {
    BmpSpec s;
    s.width = 7;
    s.height = 5;
    s.bit_count = bits;
    if (bits <= 8) s.table.assign(4u << bits, 0x55);
    if (bits == 16) {
      s.compression = BI_BITFIELDS_CODE;
      s.table = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
    }
    s.pixels.assign(static_cast<size_t>(BitmapImageBytes(7, 5, bits)), 0x3C);
    seeds.push_back(BuildBmp(s));
  }
  BmpSpec core;
  core.header_size = 12;
  core.bit_count = 8;
  core.table.assign(768, 0x21);
  core.pixels.assign(8 * 1, 7);
  seeds.push_back(BuildBmp(core));
  return seeds;
}

TEST(BitmapFuzzTest, MutatedFilesNeverReadOutsideTheirBlocks) {
  const auto seeds = Seeds();
  std::mt19937 random(20261207u);
  int loaded = 0;
  for (int round = 0; round < 20000; ++round) {
    std::vector<uint8_t> bytes = seeds[round % seeds.size()];
    const int flips = 1 + static_cast<int>(random() % 8);
    for (int f = 0; f < flips; ++f) {
      // Mostly the headers, where the sizes and counts live.
      const size_t at = random() % 4 ? random() % std::min<size_t>(bytes.size(), 80)
                                     : random() % bytes.size();
      bytes[at] = static_cast<uint8_t>(random() % 3 == 0 ? 0xFF : random());
    }
    if (random() % 5 == 0) bytes.resize(random() % bytes.size());
    PackedBitmap* b = LoadBitmapMemory(bytes.data(), bytes.size());
    if (!b) continue;
    ++loaded;
    if (DecodedBytes(b) > (4u << 20)) {  // same code, only slower: keep the run short
      FreePackedBitmap(b);
      continue;
    }
    const BitmapInfoHeader h = PackedBitmapHeader(b);
    std::vector<uint8_t> texture(16 * 16 * 4);
    FillTextureFromBitmap(b, PieceSourceRect(static_cast<int>(round % 9), h.biWidth, h.biHeight),
                          texture.data(), 16);
    for (size_t i = 3; i < texture.size(); i += 4) ASSERT_EQ(texture[i], 255);
    FreePackedBitmap(b);
  }
  EXPECT_GT(loaded, 2000);  // the mutations reach the decoder, not only the checks
}

}  // namespace
