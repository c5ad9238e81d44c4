// Device-independent bitmaps in one memory block: a 40-byte info header, the
// colour table, then the pixel data, as read from .bmp files or resources.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

enum {
  kInfoHeaderBytes = 40,
  kCoreHeaderBytes = 12,
  kFileHeaderBytes = 14,
  kColorMaskBytes = 12,  // the three BI_BITFIELDS masks
  BI_RGB_CODE = 0,
  BI_RLE8_CODE = 1,
  BI_RLE4_CODE = 2,
  BI_BITFIELDS_CODE = 3,
};

// The 40-byte BITMAPINFOHEADER, little-endian, no padding.
struct BitmapInfoHeader {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight;
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;
  int32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
};
static_assert(sizeof(BitmapInfoHeader) == kInfoHeaderBytes, "header layout");

// The block itself; its size is always 40 + ColorTableSize + biSizeImage.
// With BI_BITFIELDS the three masks come first at 40, then the colour table,
// as in the file. The rows are always bottom-up with a positive height: the
// reader turns top-down rows upright.
using PackedBitmap = uint8_t;

// The one bitmap waiting to be made into a texture; a texture maker frees it.
extern PackedBitmap* PendingBitmap;

// The most bytes a picture's pixels may take, as stored or decoded: a larger
// one is refused as if it could not be allocated (the face textures never
// need more), and no decoder is asked for more memory than this.
constexpr int64_t kMaxPictureBytes = int64_t{256} << 20;

// Where a bitmap is read from: an open file or bytes in memory.
struct BitmapSource {
  std::FILE* file;
  const uint8_t* data;
  size_t size;
  size_t position;
};

// Colour-table entries of a header of 12 or 40 bytes, as stored.
uint16_t BitmapColorCount(const void* header);
// Bytes of colour table (and bit-field masks) after the header.
uint16_t ColorTableSize(const void* header);
// Row size rule: bytes of one padded row and of the whole image (may be
// negative for a top-down height); computed in 64 bits so nothing wraps.
int64_t BitmapRowBytes(int32_t width, int32_t bit_count);
int64_t BitmapImageBytes(int32_t width, int32_t height, int32_t bit_count);

PackedBitmap* ReadBitmapHeader(BitmapSource* source);
PackedBitmap* LoadBitmapFile(const char* path);
PackedBitmap* LoadBitmapMemory(const uint8_t* data, size_t size);
void FreePackedBitmap(PackedBitmap* bitmap);

BitmapInfoHeader PackedBitmapHeader(const PackedBitmap* bitmap);
const uint8_t* PackedBitmapPixels(const PackedBitmap* bitmap);
size_t PackedBitmapBytes(const PackedBitmap* bitmap);
