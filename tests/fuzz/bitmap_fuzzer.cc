// libFuzzer target: any bytes through the picture loading (the bitmap
// reader, or libpng and libjpeg with EXIF orientation and alpha), our
// decoder and the stretch into texture images, as the saver makes them.
// Built with the address and undefined-behaviour sanitizers: a read outside
// a block, an overflow or a texel left transparent stops the run.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "render/picture.h"
#include "render/textures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  PictureProblem problem = PICTURE_FINE;
  // A small texture limit, so that large JPEGs take the reduced decodes.
  PackedBitmap* bitmap = LoadPictureMemory(data, size, 16, &problem);
  if (!bitmap) {
    if (problem == PICTURE_FINE) std::abort();  // a refusal always says why
    return 0;
  }
  const BitmapInfoHeader h = PackedBitmapHeader(bitmap);
  // Larger pictures go the same way, only slower: the run stays quick. The
  // whole picture is one of the rectangles decoded.
  if (DecodedBytes(bitmap) <= (uint64_t{1} << 20)) {
    const int32_t edge = TextureEdgeFor(h.biWidth, h.biHeight, 16);
    std::vector<uint8_t> texture(size_t(edge) * edge * 4);
    for (int32_t piece = kWholePicture; piece < kFrontPieces; ++piece) {
      FillTextureFromBitmap(bitmap, TextureSourceRect(piece, h.biWidth, h.biHeight),
                            texture.data(), edge);
      for (size_t i = 3; i < texture.size(); i += 4) {
        if (texture[i] != 255) std::abort();  // the faces must come out opaque
      }
    }
  }
  FreePackedBitmap(bitmap);
  return 0;
}
