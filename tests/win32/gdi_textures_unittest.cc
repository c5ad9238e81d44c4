// The GDI side of the pictures: the logo resource through GetDIBits, and
// texture images stretched by StretchDIBits into DIB sections.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "bmp_builder.h"
#include "render/bitmap_win32.h"
#include "render/dib_decode.h"
#include "render/textures_win32.h"

namespace {

// A 24-bit picture of 3 x 3 blocks, block b (row b / 3 from the top) in
// colour (b * 20, 255 - b * 20, 100), each block `side` pixels square.
std::vector<uint8_t> BlockPicture(int side) {
  return BuildPicture(3 * side, 3 * side, [side](int x, int y) {
    const uint32_t b = uint32_t(y / side * 3 + x / side);
    return (b * 20) << 16 | (255 - b * 20) << 8 | 100;
  });
}

void ExpectUniform(const uint8_t* bits, int edge, uint8_t blue, uint8_t green, uint8_t red) {
  for (int i = 0; i < edge * edge; i += 97) {
    ASSERT_EQ(bits[i * 4 + 0], blue) << i;
    ASSERT_EQ(bits[i * 4 + 1], green) << i;
    ASSERT_EQ(bits[i * 4 + 2], red) << i;
    ASSERT_EQ(bits[i * 4 + 3], 255) << i;
  }
}

class GdiTexturesTest : public ::testing::Test {
 protected:
  void TearDown() override { FreeTextures(); }
};

TEST_F(GdiTexturesTest, PiecesOfAPictureComeFromTheirThirds) {
  const std::vector<uint8_t> file = BlockPicture(100);  // 300 x 300 gives 256
  for (int p = 0; p < kFrontPieces; ++p) {
    PendingBitmap = LoadBitmapMemory(file.data(), file.size());
    ASSERT_NE(PendingBitmap, nullptr);
    EXPECT_EQ(MakeFrontTexture(p), 1);
    EXPECT_EQ(PendingBitmap, nullptr);
    ASSERT_NE(FrontPieceBitmap[p], nullptr);
    EXPECT_EQ(FrontTextureSize, 256);
    ExpectUniform(FrontPieceBits[p], 256, 100, uint8_t(255 - p * 20), uint8_t(p * 20));
  }
  BITMAP described = {};
  ASSERT_TRUE(GetObjectA(FrontPieceBitmap[4], sizeof described, &described));
  EXPECT_EQ(described.bmWidth, 256);
  EXPECT_EQ(described.bmHeight, 256);
  EXPECT_EQ(described.bmBitsPixel, 32);
}

TEST_F(GdiTexturesTest, MakingAPieceAgainReplacesItsImage) {
  const std::vector<uint8_t> first = BlockPicture(100), second = BlockPicture(200);
  PendingBitmap = LoadBitmapMemory(first.data(), first.size());
  MakeFrontTexture(2);
  HBITMAP old = FrontPieceBitmap[2];
  PendingBitmap = LoadBitmapMemory(second.data(), second.size());
  MakeFrontTexture(2);
  EXPECT_EQ(FrontTextureSize, 512);
  EXPECT_EQ(GetObjectType(old), 0u) << "the first image was not deleted";
  ExpectUniform(FrontPieceBits[2], 512, 100, 255 - 40, 40);
}

// The image contents of tiny pictures are checked by the portable texture
// tests, which run through GDI on this target too; here the DIB sections.
TEST_F(GdiTexturesTest, NoImageMeansNoDibSection) {
  EXPECT_EQ(MakeFrontTexture(0), 0);
  EXPECT_EQ(MakeLogoTexture(), 0);
  EXPECT_EQ(FrontPieceBitmap[0], nullptr);
  EXPECT_EQ(LogoBitmap, nullptr);

  BmpSpec line;
  line.width = 1;
  line.height = 0;
  const std::vector<uint8_t> empty = BuildBmp(line);
  PendingBitmap = LoadBitmapMemory(empty.data(), empty.size());
  ASSERT_NE(PendingBitmap, nullptr);
  EXPECT_EQ(MakeFrontTexture(1), 1);  // edge 0: no image, the bitmap still consumed
  EXPECT_EQ(FrontPieceBitmap[1], nullptr);
  EXPECT_EQ(FrontPieceBits[1], nullptr);
  EXPECT_EQ(PendingBitmap, nullptr);
}

TEST_F(GdiTexturesTest, DamagedPicturesLeaveImagesAndNoCrash) {
  std::vector<BmpSpec> damaged(5);
  damaged[0].bit_count = 4;  // RLE4 cut off in the middle of a run
  damaged[0].compression = 2;
  damaged[0].width = damaged[0].height = 64;
  damaged[0].clr_used = 16;
  damaged[0].table.assign(64, 0x80);
  damaged[0].pixels = {0, 200, 0x12, 0x34};
  damaged[0].size_image = 4;
  damaged[1].bit_count = 2;  // no such depth
  damaged[1].width = damaged[1].height = 9;
  damaged[1].pixels.assign(36, 0x55);
  damaged[2].compression = 5;  // a PNG that isn't there
  damaged[2].width = damaged[2].height = 30;
  damaged[2].size_image = 16;
  damaged[2].pixels.assign(16, 0xAB);
  damaged[3].bit_count = 8;  // RLE8 with a top-down height
  damaged[3].compression = 1;
  damaged[3].width = 30;
  damaged[3].height = -30;
  damaged[3].size_image = 6;
  damaged[3].pixels = {4, 1, 0, 2, 9, 9};
  damaged[4].bit_count = 8;  // palette indices far past a 2-entry table
  damaged[4].width = damaged[4].height = 12;
  damaged[4].clr_used = 2;
  damaged[4].table.assign(8, 0x40);
  damaged[4].pixels.assign(144, 0xFE);
  for (size_t i = 0; i < damaged.size(); ++i) {
    const std::vector<uint8_t> file = BuildBmp(damaged[i]);
    PendingBitmap = LoadBitmapMemory(file.data(), file.size());
    if (!PendingBitmap) continue;  // refused by the reader: fine too
    EXPECT_EQ(MakeFrontTexture(int32_t(i)), 1) << i;
    EXPECT_EQ(PendingBitmap, nullptr) << i;
    if (FrontPieceBits[i]) {
      EXPECT_EQ(FrontPieceBits[i][3], 255) << i;
    }
  }
}

class LogoResourceTest : public GdiTexturesTest {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExA(QUARLO_SCR_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override {
    GdiTexturesTest::TearDown();
    FreeLibrary(module_);
  }
  HMODULE module_ = nullptr;
};

TEST_F(LogoResourceTest, LogoBecomesAPackedBitmapOfTheScreensDepthWithItsColours) {
  HBITMAP logo = LoadBitmapA(module_, MAKEINTRESOURCEA(500));
  ASSERT_NE(logo, nullptr);
  PackedBitmap* packed = PackedBitmapFromGdiBitmap(logo, BI_RGB, 0, nullptr);
  ASSERT_NE(packed, nullptr);
  const BitmapInfoHeader h = PackedBitmapHeader(packed);
  EXPECT_EQ(h.biWidth, 320);
  EXPECT_EQ(h.biHeight, 256);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(h.biBitCount, GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES));
  ReleaseDC(nullptr, screen);

  // The same pixels as our own decoder gives for the stored RLE4 file.
  HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(500), MAKEINTRESOURCEA(2));
  ASSERT_NE(found, nullptr);
  const auto* stored = static_cast<const uint8_t*>(LockResource(LoadResource(module_, found)));
  const BitmapInfoHeader* stored_header = reinterpret_cast<const BitmapInfoHeader*>(stored);
  EXPECT_EQ(stored_header->biBitCount, 4);
  EXPECT_EQ(stored_header->biCompression, uint32_t{BI_RLE4});
  PackedBitmap* reference = LoadBitmapMemory(stored, SizeofResource(module_, found));
  ASSERT_NE(reference, nullptr);
  std::vector<uint8_t> expected(DecodedBytes(reference)), actual(DecodedBytes(packed));
  ASSERT_TRUE(DecodePackedBitmap(reference, expected.data()));
  ASSERT_TRUE(DecodePackedBitmap(packed, actual.data()));
  ASSERT_EQ(expected.size(), actual.size());
  EXPECT_EQ(std::memcmp(expected.data(), actual.data(), expected.size()), 0);
  FreePackedBitmap(reference);

  PendingBitmap = packed;
  EXPECT_EQ(MakeLogoTexture(), 1);
  EXPECT_EQ(LogoTextureSize, 256);
  ASSERT_NE(LogoBits, nullptr);
  EXPECT_EQ(LogoBits[3], 255);
  DeleteObject(logo);
}

TEST_F(LogoResourceTest, NoBitmapGivesNone) {
  EXPECT_EQ(PackedBitmapFromGdiBitmap(nullptr, BI_RGB, 0, nullptr), nullptr);
}

}  // namespace
