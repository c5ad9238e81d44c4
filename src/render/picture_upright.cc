// A photo turned upright as its EXIF orientation says the camera was held.
#include <cstring>

#include "render/picture_decode.h"

// For each pixel of the upright picture, the stored one: orientations 5 to
// 8 swap the axes, and some mirror the stored columns or rows.
PackedBitmap* TurnPictureUpright(PackedBitmap* block, int32_t orientation) {
  if (orientation < 2 || orientation > 8) return block;
  const bool swap = orientation >= 5;
  const bool mirror_x = orientation == 2 || orientation == 3 || orientation == 7 || orientation == 8;
  const bool mirror_y = orientation == 3 || orientation == 4 || orientation == 6 || orientation == 7;
  const BitmapInfoHeader h = PackedBitmapHeader(block);
  const uint32_t width = uint32_t(h.biWidth), height = uint32_t(h.biHeight);
  PictureProblem ignored = PICTURE_FINE;
  PackedBitmap* turned =
      swap ? NewPictureBlock(height, width, &ignored) : NewPictureBlock(width, height, &ignored);
  const uint8_t* stored = block + kInfoHeaderBytes;  // rows bottom-up
  const size_t stride = size_t{width} * 4;
  const uint32_t out_width = swap ? height : width, out_height = swap ? width : height;
  for (uint32_t y = 0; turned && y < out_height; ++y) {
    uint8_t* out = PictureRowFromTop(turned, y);
    for (uint32_t x = 0; x < out_width; ++x, out += 4) {
      uint32_t sx = swap ? y : x, sy = swap ? x : y;
      if (mirror_x) sx = width - 1 - sx;
      if (mirror_y) sy = height - 1 - sy;
      std::memcpy(out, stored + size_t{height - 1 - sy} * stride + size_t{sx} * 4, 4);
    }
  }
  FreePackedBitmap(block);
  return turned;
}
