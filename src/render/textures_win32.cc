// Texture images in DIB sections, filled by GDI's own stretch of the
// pending bitmap.
#include "render/textures_win32.h"

#include "render/gl_context_win32.h"

uint8_t* FrontPieceBits[kFrontPieces] = {};
int32_t FrontTextureSize = 0;
uint8_t* LogoBits = nullptr;
int32_t LogoTextureSize = 0;
HBITMAP FrontPieceBitmap[kFrontPieces] = {};
HBITMAP LogoBitmap = nullptr;

int StretchPackedBitmap(HDC dc, int x, int y, int width, int height, const PackedBitmap* bitmap,
                        int source_x, int source_y, int source_width, int source_height,
                        DWORD raster_operation) {
  return StretchDIBits(dc, x, y, width, height, source_x, source_y, source_width, source_height,
                       PackedBitmapPixels(bitmap), reinterpret_cast<const BITMAPINFO*>(bitmap),
                       DIB_RGB_COLORS, raster_operation);
}

namespace {

// Makes one image of a bitmap's rectangle `piece` (or all of it) in the
// slot *image / *bits with edge *size.
void MakeTexture(const PackedBitmap* bitmap, HBITMAP* image, uint8_t** bits, int32_t* size,
                 int32_t piece) {
  const BitmapInfoHeader h = PackedBitmapHeader(bitmap);
  *size = TextureEdgeFor(h.biWidth, h.biHeight, ContextTextureLimit());

  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  if (*image) DeleteObject(*image);
  *image = nullptr;
  *bits = nullptr;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = *size;
  info.bmiHeader.biHeight = *size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  if (memory && *size > 0) {
    *image = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  }
  if (*image && pixels) {
    *bits = static_cast<uint8_t*>(pixels);
    HGDIOBJ previous = SelectObject(memory, *image);
    if (GLPalette) {
      SelectPalette(memory, GLPalette, TRUE);
      RealizePalette(memory);
    }
    SetStretchBltMode(memory, COLORONCOLOR);
    const PixelRect source = TextureSourceRect(piece, h.biWidth, h.biHeight);
    StretchPackedBitmap(memory, 0, 0, *size, *size, bitmap, source.x, source.y, source.width,
                        source.height, SRCCOPY);
    GdiFlush();
    MakeTextureOpaque(*bits, *size);  // GDI leaves the fourth byte alone
    if (previous) SelectObject(memory, previous);
  } else if (*image) {
    DeleteObject(*image);
    *image = nullptr;
  }
  if (memory) DeleteDC(memory);
}

int32_t MakePendingTexture(HBITMAP* image, uint8_t** bits, int32_t* size, int32_t piece) {
  if (!PendingBitmap) return 0;
  MakeTexture(PendingBitmap, image, bits, size, piece);
  FreePackedBitmap(PendingBitmap);
  PendingBitmap = nullptr;
  return 1;
}

}  // namespace

int32_t MakeFrontTexture(int32_t piece) {
  if (piece < 0 || piece >= kFrontPieces) return 0;
  return MakePendingTexture(&FrontPieceBitmap[piece], &FrontPieceBits[piece], &FrontTextureSize,
                            piece);
}

void MakeFrontTextureFrom(int32_t piece, const PackedBitmap* picture) {
  if (piece < 0 || piece >= kFrontPieces) return;
  MakeTexture(picture, &FrontPieceBitmap[piece], &FrontPieceBits[piece], &FrontTextureSize, piece);
}

int32_t MakeLogoTexture() {
  return MakePendingTexture(&LogoBitmap, &LogoBits, &LogoTextureSize, kWholePicture);
}

void FreeTextures() {
  for (int p = 0; p < kFrontPieces; ++p) {
    if (FrontPieceBitmap[p]) DeleteObject(FrontPieceBitmap[p]);
    FrontPieceBitmap[p] = nullptr;
    FrontPieceBits[p] = nullptr;
  }
  if (LogoBitmap) DeleteObject(LogoBitmap);
  LogoBitmap = nullptr;
  LogoBits = nullptr;
  if (PendingBitmap) FreePackedBitmap(PendingBitmap);
  PendingBitmap = nullptr;
}
