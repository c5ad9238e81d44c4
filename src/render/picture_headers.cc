// What a PNG's chunks and a JPEG's segments say before any pixel is
// decoded: the picture's size and its EXIF orientation, read from the bytes
// alike on every platform, before the platform's decoder is asked.
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

// Calls `visit` with each JPEG segment before the first scan (its marker,
// its bytes after the length) until it returns true.
template <typename Visit>
void ForEachJpegSegment(const uint8_t* data, size_t size, Visit visit) {
  size_t at = 2;
  while (at + 4 <= size && data[at] == 0xFF) {
    const uint8_t marker = data[at + 1];
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0xDA || marker == 0xD9) return;  // the scan, or the end
    const size_t length = size_t{data[at + 2]} << 8 | data[at + 3];
    if (length < 2 || length > size - at - 2) return;
    if (visit(marker, data + at + 4, length - 2)) return;
    at += 2 + length;
  }
}

// Calls `visit` with each PNG chunk (its type, its data) until it returns true.
template <typename Visit>
void ForEachPngChunk(const uint8_t* data, size_t size, Visit visit) {
  size_t at = 8;
  while (at + 12 <= size) {
    const size_t length = Read32(data + at, true);
    if (length > size - at - 12) return;
    if (visit(data + at + 4, data + at + 8, length) || std::memcmp(data + at + 4, "IEND", 4) == 0) return;
    at += 12 + length;
  }
}

bool IsJpeg(const uint8_t* data, size_t size) { return size >= 3 && data[0] == 0xFF && data[1] == 0xD8; }
bool IsPng(const uint8_t* data, size_t size) { return size >= 8 && data[0] == 0x89 && data[1] == 'P'; }

}  // namespace

int32_t PictureOrientation(const uint8_t* data, size_t size) {
  int32_t orientation = 1;
  // JPEG: the APP1 segment that starts "Exif\0\0"; PNG: the eXIf chunk,
  // which holds the TIFF-form data as it is.
  if (IsJpeg(data, size)) {
    ForEachJpegSegment(data, size, [&](uint8_t marker, const uint8_t* segment, size_t length) {
      if (marker != 0xE1 || length < 6 || std::memcmp(segment, "Exif\0\0", 6) != 0) return false;
      orientation = TiffOrientation(segment + 6, length - 6);
      return true;
    });
  } else if (IsPng(data, size)) {
    ForEachPngChunk(data, size, [&](const uint8_t* type, const uint8_t* chunk, size_t length) {
      if (std::memcmp(type, "eXIf", 4) != 0) return false;
      orientation = TiffOrientation(chunk, length);
      return true;
    });
  }
  return orientation;
}

bool StoredPictureSize(const uint8_t* data, size_t size, uint32_t* width, uint32_t* height) {
  *width = *height = 0;
  if (IsPng(data, size)) {
    ForEachPngChunk(data, size, [&](const uint8_t* type, const uint8_t* chunk, size_t length) {
      if (std::memcmp(type, "IHDR", 4) == 0 && length >= 8) {
        *width = Read32(chunk, true);
        *height = Read32(chunk + 4, true);
      }
      return true;  // the first chunk, always
    });
  } else if (IsJpeg(data, size)) {
    ForEachJpegSegment(data, size, [&](uint8_t marker, const uint8_t* segment, size_t length) {
      // The frame headers: every SOFn but DHT (C4), JPG (C8) and DAC (CC).
      const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
      if (!frame || length < 5) return false;
      *height = Read16(segment + 1, true);
      *width = Read16(segment + 3, true);
      return true;
    });
  }
  return *width != 0 && *height != 0;
}
