// The GDI side of the pictures. Our decoder and stretch against GDI's
// StretchDIBits for every stored form the reader accepts, made into the nine
// pieces and the whole image at the saver's edge (our decoder alone is held
// against ImageMagick's on Linux); damaged pictures through GDI; the DIB
// sections; and the logo resource through GetDIBits.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bmp_builder.h"
#include "render/bitmap.h"
#include "render/bitmap_win32.h"
#include "render/dib_decode.h"
#include "render/textures.h"
#include "render/textures_win32.h"
#include "test_files.h"

namespace {

// Damaged pictures pass through GDI's pieces and whole image safely.
TEST(GdiPicturesTest, DamagedPicturesAreRefusedOrDrawnSafely) {
  for (const std::string& file : FolderFiles(QUARLO_DAMAGED_BITMAPS)) {
    for (int32_t image = kWholePicture; image < kFrontPieces; ++image) {
      PendingBitmap = LoadBitmapFile(file.c_str());  // refused, or drawn without a crash
      if (PendingBitmap) image == kWholePicture ? MakeLogoTexture() : MakeFrontTexture(image);
      EXPECT_EQ(PendingBitmap, nullptr) << file;
    }
    FreeTextures();
  }
}

// At the texture edges the saver uses, GDI's stretch and ours take every
// texel from the same picture, and they differ in one rule only: when a
// piece is not a whole multiple of the edge, GDI takes other ones of the
// neighbouring source pixels (pixel centres when enlarging, the ends of the
// spans when shrinking). Ours takes pixel floor(d * s / e), the nearest-pixel
// stretch the texture format asks for, the same on every platform, and it
// keeps each piece's first source row and column at the piece's edge; a
// texel where the two differ must hold a source pixel within one texel's
// span of ours. (And where run-length data skips pixels, see below.)
TEST(GdiPicturesTest, TexturesDifferOnlyInWhichNeighbourTheStretchTakes) {
  int whole_multiples_compared = 0;
  for (const std::string& file : FolderFiles(QUARLO_BITMAP_CORPUS)) {
    PackedBitmap* bitmap = LoadBitmapFile(file.c_str());
    ASSERT_NE(bitmap, nullptr) << file;
    const BitmapInfoHeader h = PackedBitmapHeader(bitmap);
    std::vector<uint8_t> decoded(DecodedBytes(bitmap), 0);
    DecodePackedBitmap(bitmap, decoded.data());
    const auto source = [&](int64_t x, int64_t y) { return &decoded[(y * h.biWidth + x) * 4]; };
    const uint8_t* first_entry = bitmap + kInfoHeaderBytes;
    const int32_t edge = TextureEdgeFor(h.biWidth, h.biHeight, 0);
    for (int32_t image = 0; image <= kFrontPieces; ++image) {
      const bool whole = image == kFrontPieces;
      const PixelRect rect = TextureSourceRect(whole ? kWholePicture : image, h.biWidth, h.biHeight);
      PendingBitmap = LoadBitmapFile(file.c_str());
      whole ? MakeLogoTexture() : MakeFrontTexture(image);  // GDI
      const uint8_t* gdi = whole ? LogoBits : FrontPieceBits[image];
      ASSERT_NE(gdi, nullptr) << file;
      std::vector<uint8_t> ours(size_t(edge) * edge * 4, 0);
      FillTextureFromBitmap(bitmap, rect, ours.data(), edge);
      whole_multiples_compared += rect.width && edge % rect.width == 0 && rect.height &&
                                  edge % rect.height == 0 && ours == std::vector<uint8_t>(gdi, gdi + ours.size());
      for (int32_t dy = 0; dy < edge && rect.width > 0 && rect.height > 0; ++dy) {
        for (int32_t dx = 0; dx < edge; ++dx) {
          const uint8_t* g = gdi + (size_t(dy) * edge + dx) * 4;
          const int64_t x = rect.x + int64_t{dx} * rect.width / edge;
          const int64_t y = rect.y + int64_t{dy} * rect.height / edge;
          const int64_t span_x = (rect.width + edge - 1) / edge, span_y = (rect.height + edge - 1) / edge;
          bool explained = false;
          for (int64_t ny = y - span_y; ny <= y + span_y && !explained; ++ny) {
            for (int64_t nx = x - span_x; nx <= x + span_x && !explained; ++nx) {
              const bool inside = nx >= rect.x && ny >= rect.y && nx < rect.x + rect.width &&
                                  ny < rect.y + rect.height;
              // Where run-length data never draws, GDI's stretch (not its one to one
              // draw) shows colour-table entry 0; ours leaves the pixel alone.
              const uint8_t* shown = inside && source(nx, ny)[3] == 0 ? first_entry : source(nx, ny);
              explained = inside && std::equal(g, g + 3, shown);
            }
          }
          ASSERT_TRUE(explained) << file << ", image " << image << ", texel " << dx << "," << dy;
        }
      }
      FreeTextures();
    }
    FreePackedBitmap(bitmap);
  }
  EXPECT_GT(whole_multiples_compared, 20);  // where the rule can't differ, the texels are GDI's
}

// (Nothing pending, and an edge of 0: the texture tests, which run through GDI here.)
TEST(GdiPicturesTest, EachImageIsOneDibSectionOfItsEdge) {
  const std::vector<uint8_t> first = BuildPicture(300, 300, [](int, int) { return 0u; }),
                             second = BuildPicture(600, 600, [](int, int) { return 0u; });
  PendingBitmap = LoadBitmapMemory(first.data(), first.size());
  MakeFrontTexture(2);
  const HBITMAP old = FrontPieceBitmap[2];
  BITMAP described = {};
  ASSERT_TRUE(GetObjectA(old, sizeof described, &described));
  EXPECT_TRUE(described.bmWidth == 256 && described.bmHeight == 256 && described.bmBitsPixel == 32);
  PendingBitmap = LoadBitmapMemory(second.data(), second.size());
  MakeFrontTexture(2);
  EXPECT_TRUE(FrontTextureSize == 512 && GetObjectType(old) == 0) << "the first image was kept";
  FreeTextures();
}

TEST(GdiPicturesTest, TheLogoResourceThroughGetDIBitsHasOurDecodersPixels) {
  EXPECT_EQ(PackedBitmapFromGdiBitmap(nullptr, BI_RGB, 0, nullptr), nullptr);
  HMODULE module = LoadLibraryExA(QUARLO_SCR_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HBITMAP logo = LoadBitmapA(module, MAKEINTRESOURCEA(500));
  ASSERT_NE(logo, nullptr);
  PackedBitmap* packed = PackedBitmapFromGdiBitmap(logo, BI_RGB, 0, nullptr);
  ASSERT_NE(packed, nullptr);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(PackedBitmapHeader(packed).biBitCount, GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES));
  ReleaseDC(nullptr, screen);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(500), MAKEINTRESOURCEA(2));
  PackedBitmap* stored = LoadBitmapMemory(static_cast<const uint8_t*>(LockResource(LoadResource(module, found))),
                                          SizeofResource(module, found));
  ASSERT_NE(stored, nullptr);
  std::vector<uint8_t> want(DecodedBytes(stored)), got(DecodedBytes(packed));
  ASSERT_TRUE(DecodePackedBitmap(stored, want.data()) && DecodePackedBitmap(packed, got.data()));
  EXPECT_TRUE(want == got && want.size() == 320u * 256 * 4);
  FreePackedBitmap(stored);
  FreePackedBitmap(packed);
  DeleteObject(logo);
  FreeLibrary(module);
}

}  // namespace
