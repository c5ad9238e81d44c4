// Texture images in plain memory, filled by our own decoder: for platforms
// without GDI.
#include <cstdlib>

#include "render/gl_compat.h"
#include "render/textures.h"

uint8_t* FrontPieceBits[kFrontPieces] = {};
int32_t FrontTextureSize = 0;
uint8_t* LogoBits = nullptr;
int32_t LogoTextureSize = 0;

namespace {

// Makes one image of `piece` (or all) of a bitmap into *bits with edge *size.
void MakeTexture(const PackedBitmap* bitmap, uint8_t** bits, int32_t* size, int32_t piece) {
  const BitmapInfoHeader h = PackedBitmapHeader(bitmap);
  *size = TextureEdgeFor(h.biWidth, h.biHeight, ContextTextureLimit());
  std::free(*bits);
  *bits = nullptr;
  if (*size > 0) *bits = static_cast<uint8_t*>(std::calloc(size_t(*size) * *size, 4));
  if (*bits) {
    const PixelRect source = TextureSourceRect(piece, h.biWidth, h.biHeight);
    FillTextureFromBitmap(bitmap, source, *bits, *size);
  }
}

int32_t MakePendingTexture(uint8_t** bits, int32_t* size, int32_t piece) {
  if (!PendingBitmap) return 0;
  MakeTexture(PendingBitmap, bits, size, piece);
  FreePackedBitmap(PendingBitmap);
  PendingBitmap = nullptr;
  return 1;
}

}  // namespace

int32_t MakeFrontTexture(int32_t piece) {
  if (piece < 0 || piece >= kFrontPieces) return 0;
  return MakePendingTexture(&FrontPieceBits[piece], &FrontTextureSize, piece);
}

void MakeFrontTextureFrom(int32_t piece, const PackedBitmap* picture) {
  if (piece >= 0 && piece < kFrontPieces) MakeTexture(picture, &FrontPieceBits[piece], &FrontTextureSize, piece);
}

int32_t MakeLogoTexture() { return MakePendingTexture(&LogoBits, &LogoTextureSize, kWholePicture); }

void FreeTextures() {
  for (uint8_t*& bits : FrontPieceBits) {
    std::free(bits);
    bits = nullptr;
  }
  std::free(LogoBits);
  LogoBits = nullptr;
  if (PendingBitmap) FreePackedBitmap(PendingBitmap);
  PendingBitmap = nullptr;
}
