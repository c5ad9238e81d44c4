#include "render/textures.h"

#include <cstdlib>

#include "render/dib_decode.h"

namespace {
// Before a context exists nobody can tell the real limit; every OpenGL we
// run on takes this much.
constexpr int32_t kNoContextTextureLimit = 1024;
}  // namespace

int32_t TextureSizeFor(int32_t n) {
  int k = 0;
  while (n != 0 && k < 16) {
    n >>= 1;  // arithmetic: a negative n never reaches 0
    ++k;
  }
  return k == 0 ? 0 : int32_t{1} << (k - 1);
}

int32_t TextureEdgeFor(int32_t w, int32_t h, int32_t max_size) {
  const int32_t size = TextureSizeFor(static_cast<int32_t>((int64_t{w} + h) / 2));
  const int32_t limit = max_size > 0 ? max_size : kNoContextTextureLimit;
  return size < limit ? size : limit;
}

PixelRect PieceSourceRect(int32_t piece, int32_t w, int32_t h) {
  return PixelRect{static_cast<int32_t>(int64_t{piece % 3} * w / 3),
                   static_cast<int32_t>(int64_t{2 - piece / 3} * h / 3), w / 3, h / 3};
}

PixelRect TextureSourceRect(int32_t piece, int32_t w, int32_t h) {
  return piece == kWholePicture ? PixelRect{0, 0, w, h} : PieceSourceRect(piece, w, h);
}

namespace {

// Whether the bitmap's pixels are already decoded pixels (32 bits, no masks,
// every row there, as a decoded PNG or JPEG is), to be sampled in place.
bool IsDecodedForm(const PackedBitmap* bitmap, const PixelRect& source) {
  const BitmapInfoHeader h = PackedBitmapHeader(bitmap);
  return h.biBitCount == 32 && h.biCompression == BI_RGB_CODE && h.biWidth > 0 && h.biHeight > 0 &&
         h.biSizeImage >= int64_t{h.biWidth} * h.biHeight * 4 && source.x >= 0 && source.y >= 0 &&
         int64_t{source.x} + source.width <= h.biWidth && int64_t{source.y} + source.height <= h.biHeight;
}

}  // namespace

// Only the rectangle is decoded: a piece costs its ninth of the picture.
void FillTextureFromBitmap(const PackedBitmap* bitmap, const PixelRect& source, uint8_t* texture,
                           int32_t edge) {
  if (IsDecodedForm(bitmap, source)) {
    StretchDecodedRect(PackedBitmapPixels(bitmap), PackedBitmapHeader(bitmap).biWidth, source, texture, edge);
    MakeTextureOpaque(texture, edge);
    return;
  }
  const uint64_t bytes = uint64_t(source.width > 0 ? source.width : 0) *
                         uint64_t(source.height > 0 ? source.height : 0) * 4;
  if (DecodedBytes(bitmap) > 0 && bytes > 0 && bytes <= uint64_t{kMaxPictureBytes}) {
    if (uint8_t* image = static_cast<uint8_t*>(std::calloc(1, bytes))) {
      if (DecodePackedBitmapRect(bitmap, source, image)) {
        StretchDecodedImage(image, source.width, source.height, texture, edge);
      }
      std::free(image);
    }
  }
  MakeTextureOpaque(texture, edge);
}

void MakeTextureOpaque(uint8_t* texture, int32_t edge) {
  const uint64_t texels = uint64_t(edge) * edge;
  for (uint64_t i = 0; i < texels; ++i) texture[i * 4 + 3] = 255;
}
