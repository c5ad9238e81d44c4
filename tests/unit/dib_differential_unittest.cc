// Our decoder against ImageMagick's, for every picture of the corpus (every
// stored form the reader accepts): the same colours, pixel for pixel, but
// where ImageMagick shows colour-table entry 0 for a pixel no colour reaches:
// a palette index past a short colour table (ours: black, as GDI draws it),
// and a pixel that run-length data never draws (ours: left alone, as GDI's
// one to one draw leaves it; the format draws nothing there).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "render/bitmap.h"
#include "render/dib_decode.h"
#include "test_files.h"

namespace {

// ImageMagick's pixels of a file, top row first, red, green, blue.
std::string MagickDecode(const std::string& file) {
  const std::string out = testing::TempDir() + "magick.rgb";
  std::system(("rm -f '" + out + "'; convert '" + file + "' -depth 8 'rgb:" + out + "'").c_str());
  return ReadFileBytes(out);
}

TEST(DibDifferentialTest, EveryStoredFormDecodesAsImageMagickDecodesIt) {
  const std::vector<std::string> files = FolderFiles(QUARLO_BITMAP_CORPUS);
  ASSERT_GE(files.size(), 20u);
  for (const std::string& file : files) {
    PackedBitmap* bitmap = LoadBitmapFile(file.c_str());
    ASSERT_NE(bitmap, nullptr) << file;
    const BitmapInfoHeader h = PackedBitmapHeader(bitmap);
    std::vector<uint8_t> ours(DecodedBytes(bitmap), 0);
    ASSERT_TRUE(DecodePackedBitmap(bitmap, ours.data())) << file;
    const std::string magick = MagickDecode(file);
    ASSERT_EQ(magick.size(), size_t(h.biWidth) * h.biHeight * 3) << file;
    const auto* rgb = reinterpret_cast<const uint8_t*>(magick.data());
    const uint8_t* entry0 = bitmap + kInfoHeaderBytes;  // blue, green, red
    const uint32_t colours = BitmapColorCount(&h);
    for (int32_t y = 0; y < h.biHeight; ++y) {
      for (int32_t x = 0; x < h.biWidth; ++x) {
        const uint8_t* o = &ours[(size_t(y) * h.biWidth + x) * 4];
        const uint8_t* m = &rgb[(size_t(h.biHeight - 1 - y) * h.biWidth + x) * 3];
        if (o[0] == m[2] && o[1] == m[1] && o[2] == m[0]) continue;
        const bool no_colour = o[3] == 0 || (h.biBitCount <= 8 && colours < (1u << h.biBitCount) &&
                                             o[0] == 0 && o[1] == 0 && o[2] == 0);
        const bool entry_zero = m[0] == entry0[2] && m[1] == entry0[1] && m[2] == entry0[0];
        ASSERT_TRUE(no_colour && entry_zero) << file << " at " << x << "," << y;
      }
    }
    FreePackedBitmap(bitmap);
  }
}

}  // namespace
