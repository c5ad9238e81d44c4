// EXIF orientation: where a camera or phone says which way its photo is
// held, found in the file's bytes on every platform alike, and applied.
#include <cstring>

#include "render/picture_decode.h"

namespace {

uint32_t Read16(const uint8_t* p, bool big) {
  return big ? uint32_t(p[0]) << 8 | p[1] : uint32_t(p[1]) << 8 | p[0];
}
uint32_t Read32(const uint8_t* p, bool big) {
  return big ? Read16(p, true) << 16 | Read16(p + 2, true) : Read16(p + 2, false) << 16 | Read16(p, false);
}

// The Orientation tag (0x0112) of the first directory of TIFF-form data.
int32_t TiffOrientation(const uint8_t* tiff, size_t size) {
  if (size < 8) return 1;
  const bool big = tiff[0] == 'M' && tiff[1] == 'M';
  if (!big && !(tiff[0] == 'I' && tiff[1] == 'I')) return 1;
  const uint32_t directory = Read32(tiff + 4, big);
  if (directory > size - 2) return 1;
  const uint32_t entries = Read16(tiff + directory, big);
  for (uint32_t i = 0; i < entries; ++i) {
    const uint64_t at = uint64_t{directory} + 2 + uint64_t{i} * 12;
    if (at + 12 > size) break;
    const uint8_t* entry = tiff + at;
    if (Read16(entry, big) != 0x0112 || Read16(entry + 2, big) != 3) continue;  // a SHORT
    const uint32_t value = Read16(entry + 8, big);
    return value >= 1 && value <= 8 ? int32_t(value) : 1;
  }
  return 1;
}

// JPEG: the APP1 segment that starts "Exif\0\0", among the segments before
// the first scan.
int32_t JpegOrientation(const uint8_t* data, size_t size) {
  size_t at = 2;
  while (at + 4 <= size && data[at] == 0xFF) {
    const uint8_t marker = data[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0xDA || marker == 0xD9) break;  // the scan, or the end
    const size_t length = size_t{data[at + 2]} << 8 | data[at + 3];
    if (length < 2 || length > size - at - 2) break;
    const uint8_t* segment = data + at + 4;
    if (marker == 0xE1 && length >= 8 && std::memcmp(segment, "Exif\0\0", 6) == 0)
      return TiffOrientation(segment + 6, length - 8);
    at += 2 + length;
  }
  return 1;
}

// PNG: the eXIf chunk, which holds the TIFF-form data as it is.
int32_t PngOrientation(const uint8_t* data, size_t size) {
  size_t at = 8;
  while (at + 12 <= size) {
    const size_t length = Read32(data + at, true);
    if (length > size - at - 12) break;
    if (std::memcmp(data + at + 4, "eXIf", 4) == 0) return TiffOrientation(data + at + 8, length);
    if (std::memcmp(data + at + 4, "IEND", 4) == 0) break;
    at += 12 + length;
  }
  return 1;
}

}  // namespace

int32_t PictureOrientation(const uint8_t* data, size_t size) {
  if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8) return JpegOrientation(data, size);
  if (size >= 8 && data[0] == 0x89 && data[1] == 'P') return PngOrientation(data, size);
  return 1;
}

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
