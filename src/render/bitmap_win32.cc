#include "render/bitmap_win32.h"

#include <cstdlib>
#include <cstring>

namespace {

// GetDIBits may write a whole 256-entry table, or three colour masks, even
// where the header it is given promises less; room for either is kept past
// the block's own size so no platform writes outside it.
constexpr size_t kGetDIBitsSlack = 256 * 4 + 12;

struct ScreenPalette {
  HDC dc;
  HPALETTE previous;
  ~ScreenPalette() {
    SelectPalette(dc, previous, FALSE);
    ReleaseDC(nullptr, dc);
  }
};

}  // namespace

PackedBitmap* PackedBitmapFromGdiBitmap(HBITMAP bitmap, uint32_t compression, uint16_t bit_count,
                                        HPALETTE palette) {
  if (!bitmap) return nullptr;
  if (!palette) palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  BITMAP described = {};
  if (!GetObjectA(bitmap, sizeof described, &described)) return nullptr;
  if (bit_count == 0) bit_count = static_cast<uint16_t>(described.bmPlanes * described.bmBitsPixel);

  BitmapInfoHeader header = {};
  header.biSize = kInfoHeaderBytes;
  header.biWidth = described.bmWidth;
  header.biHeight = described.bmHeight;
  header.biPlanes = 1;
  header.biBitCount = bit_count;
  header.biCompression = compression;

  ScreenPalette screen{GetDC(nullptr), nullptr};
  screen.previous = SelectPalette(screen.dc, palette, FALSE);
  RealizePalette(screen.dc);

  size_t table = ColorTableSize(&header);
  auto* block =
      static_cast<PackedBitmap*>(std::calloc(1, kInfoHeaderBytes + table + kGetDIBitsSlack));
  if (!block) return nullptr;
  std::memcpy(block, &header, sizeof header);
  GetDIBits(screen.dc, bitmap, 0, static_cast<UINT>(header.biHeight), nullptr,
            reinterpret_cast<BITMAPINFO*>(block), DIB_RGB_COLORS);
  std::memcpy(&header, block, sizeof header);
  if (header.biSize != kInfoHeaderBytes || header.biHeight < 0) {
    std::free(block);
    return nullptr;
  }

  if (header.biSizeImage == 0) {
    const int64_t bytes = BitmapImageBytes(header.biWidth, header.biHeight, bit_count);
    uint64_t size = bytes > 0 ? uint64_t(bytes) : 0;
    if (compression != BI_RGB) size = size * 3 / 2;
    if (size > INT32_MAX) {
      std::free(block);
      return nullptr;
    }
    header.biSizeImage = static_cast<int32_t>(size);
    std::memcpy(block, &header, sizeof header);
  }
  table = ColorTableSize(&header);
  const size_t bytes = kInfoHeaderBytes + table + uint32_t(header.biSizeImage) + kGetDIBitsSlack;
  auto* grown = static_cast<PackedBitmap*>(std::realloc(block, bytes));
  if (!grown) {
    std::free(block);
    return nullptr;
  }
  block = grown;
  std::memset(block + kInfoHeaderBytes + table, 0, bytes - kInfoHeaderBytes - table);
  if (GetDIBits(screen.dc, bitmap, 0, static_cast<UINT>(header.biHeight),
                block + kInfoHeaderBytes + table, reinterpret_cast<BITMAPINFO*>(block),
                DIB_RGB_COLORS) == 0) {
    std::free(block);
    return nullptr;
  }
  return block;
}
