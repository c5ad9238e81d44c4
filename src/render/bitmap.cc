#include "render/bitmap.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

PackedBitmap* PendingBitmap = nullptr;

namespace {

uint32_t ReadU32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

size_t SourceRead(BitmapSource* s, void* out, size_t count) {
  if (s->file) return std::fread(out, 1, count, s->file);
  const size_t left = s->position < s->size ? s->size - s->position : 0;
  const size_t n = count < left ? count : left;
  if (n) std::memcpy(out, s->data + s->position, n);
  s->position += n;
  return n;
}

int64_t SourceTell(BitmapSource* s) {
  if (s->file) return static_cast<int64_t>(std::ftell(s->file));
  return static_cast<int64_t>(s->position);
}

void SourceSeek(BitmapSource* s, int64_t position) {
  if (position < 0) position = 0;
  if (s->file) {
    std::fseek(s->file, static_cast<long>(position), SEEK_SET);
  } else {
    s->position = static_cast<size_t>(position);
  }
}

// The 12-byte core header, widened to the 40-byte form.
void WidenCoreHeader(const uint8_t* raw, uint16_t colors, BitmapInfoHeader* h) {
  std::memset(h, 0, sizeof *h);
  h->biSize = kInfoHeaderBytes;
  h->biWidth = ReadU16(raw + 4);
  h->biHeight = ReadU16(raw + 6);
  h->biPlanes = ReadU16(raw + 8);
  h->biBitCount = ReadU16(raw + 10);
  h->biCompression = BI_RGB_CODE;
  h->biClrUsed = colors;
  h->biClrImportant = colors;
}

// The number of rows, whichever way they run (INT32_MIN kept in range).
int32_t BitmapRows(const BitmapInfoHeader& header) {
  if (header.biHeight == INT32_MIN) return INT32_MAX;
  return header.biHeight < 0 ? -header.biHeight : header.biHeight;
}

bool IsUncompressed(uint32_t compression) {
  return compression == BI_RGB_CODE || compression == BI_BITFIELDS_CODE;
}

// Only uncompressed rows may be stored top-down (run-length data is always
// bottom-up), and a height of INT32_MIN has no positive twin.
bool CanTurnUpright(const BitmapInfoHeader& h) {
  return IsUncompressed(h.biCompression) && h.biHeight != INT32_MIN;
}

// Turns top-down rows into the bottom-up order that everything after the
// reader expects, and makes the height positive to match.
void TurnUpright(PackedBitmap* block) {
  BitmapInfoHeader h = PackedBitmapHeader(block);
  if (h.biHeight >= 0) return;
  h.biHeight = -h.biHeight;
  std::memcpy(block, &h, sizeof h);
  if (h.biWidth <= 0) return;
  const size_t row = static_cast<size_t>(BitmapRowBytes(h.biWidth, h.biBitCount));
  if (row == 0) return;  // no bits per pixel: the rows hold nothing, however many there are
  uint8_t* pixels = block + kInfoHeaderBytes + ColorTableSize(&h);
  // ReservedImageBytes gave every row its room, so all of them are in the block.
  for (size_t top = 0, bottom = size_t(h.biHeight) - 1; top < bottom; ++top, --bottom) {
    std::swap_ranges(pixels + top * row, pixels + (top + 1) * row, pixels + bottom * row);
  }
}

// How many pixel bytes the block reserves, or -1 to refuse the bitmap. An
// uncompressed image gets at least the bytes its rows need, so a decoder
// that trusts the header never reads past the block.
int64_t ReservedImageBytes(const BitmapInfoHeader& h) {
  int64_t bytes = h.biSizeImage;
  if (bytes < 0) return -1;
  if (IsUncompressed(h.biCompression) && h.biWidth > 0) {
    const int64_t needed = BitmapImageBytes(h.biWidth, BitmapRows(h), h.biBitCount);
    if (needed > bytes) bytes = needed;
  }
  return bytes > kMaxPictureBytes ? -1 : bytes;
}

}  // namespace

int64_t BitmapRowBytes(int32_t width, int32_t bit_count) {
  return (int64_t{width} * bit_count + 31) / 32 * 4;
}

int64_t BitmapImageBytes(int32_t width, int32_t height, int32_t bit_count) {
  const int64_t row = BitmapRowBytes(width, bit_count);
  // Sizes no file can mean saturate instead of wrapping; they are refused.
  const int64_t rows = height < 0 ? -int64_t{height} : height;
  const int64_t magnitude = row < 0 ? -row : row;
  if (magnitude != 0 && rows > INT64_MAX / magnitude)
    return (row < 0) != (height < 0) ? INT64_MIN : INT64_MAX;
  return row * height;
}

uint16_t BitmapColorCount(const void* header) {
  const uint8_t* p = static_cast<const uint8_t*>(header);
  if (ReadU32(p) == kCoreHeaderBytes) {
    const uint16_t bits = ReadU16(p + 10);
    return bits <= 8 ? static_cast<uint16_t>(1u << bits) : 0;
  }
  const uint32_t used = ReadU32(p + 32);
  if (used != 0) return static_cast<uint16_t>(used & 0xFFFF);
  const uint16_t bits = ReadU16(p + 14);
  return bits <= 8 ? static_cast<uint16_t>(1u << bits) : 0;
}

uint16_t ColorTableSize(const void* header) {
  const uint8_t* p = static_cast<const uint8_t*>(header);
  const uint32_t count = BitmapColorCount(header);
  if (ReadU32(p) == kCoreHeaderBytes) return static_cast<uint16_t>(count * 3);
  if (ReadU32(p + 16) == BI_BITFIELDS_CODE) return static_cast<uint16_t>(count * 4 + 12);
  return static_cast<uint16_t>(count * 4);
}

PackedBitmap* ReadBitmapHeader(BitmapSource* source) {
  const int64_t start = SourceTell(source);
  uint8_t file_header[kFileHeaderBytes] = {};
  SourceRead(source, file_header, 2);
  SourceRead(source, file_header + 2, 12);
  uint32_t off_bits = ReadU32(file_header + 10);
  if (file_header[0] != 'B' || file_header[1] != 'M') {
    off_bits = 0;
    SourceSeek(source, start);
  }

  uint8_t raw[kInfoHeaderBytes];
  if (SourceRead(source, raw, sizeof raw) != sizeof raw) return nullptr;
  const uint32_t header_size = ReadU32(raw);
  // The stored count is only 16 bits wide: a larger one cannot be honoured,
  // and neither can a table too long for its 16-bit size.
  if (header_size == kInfoHeaderBytes && ReadU32(raw + 32) > 0xFFFF) return nullptr;
  const uint16_t colors = BitmapColorCount(raw);
  const uint32_t table_bytes = uint32_t{colors} * 4 + 12;
  if (table_bytes > 0xFFFF) return nullptr;

  BitmapInfoHeader h;
  const bool core = header_size == kCoreHeaderBytes;
  if (core) {
    WidenCoreHeader(raw, colors, &h);
    SourceSeek(source, SourceTell(source) - (kInfoHeaderBytes - kCoreHeaderBytes));
  } else if (header_size == kInfoHeaderBytes) {
    std::memcpy(&h, raw, sizeof h);
  } else {
    return nullptr;
  }
  if (h.biHeight < 0 && !CanTurnUpright(h)) return nullptr;
  if (h.biSizeImage == 0) {
    const int64_t bytes = BitmapImageBytes(h.biWidth, BitmapRows(h), h.biBitCount);
    if (bytes < INT32_MIN || bytes > INT32_MAX) return nullptr;
    h.biSizeImage = static_cast<int32_t>(bytes);
  }
  if (h.biClrUsed == 0) h.biClrUsed = BitmapColorCount(&h);

  const int64_t image = ReservedImageBytes(h);
  if (image < 0) return nullptr;
  h.biSizeImage = static_cast<int32_t>(image);
  // The whole block at once, zero-filled: pixels a short file leaves out stay 0.
  const size_t table = ColorTableSize(&h);
  PackedBitmap* block = static_cast<PackedBitmap*>(
      std::calloc(1, kInfoHeaderBytes + table + static_cast<size_t>(image)));
  if (!block) return nullptr;
  std::memcpy(block, &h, sizeof h);

  uint8_t* entries = block + kInfoHeaderBytes;
  // Bit-field masks come straight after the header, before any colour table,
  // in the file as in the block (where GDI looks for them too).
  if (h.biCompression == BI_BITFIELDS_CODE) {
    SourceRead(source, entries, kColorMaskBytes);
    entries += kColorMaskBytes;
  }
  if (colors > 0 && core) {
    SourceRead(source, entries, size_t{colors} * 3);
    for (int i = colors - 1; i >= 0; --i) {
      const uint8_t b = entries[i * 3], g = entries[i * 3 + 1], r = entries[i * 3 + 2];
      entries[i * 4] = b;
      entries[i * 4 + 1] = g;
      entries[i * 4 + 2] = r;
      entries[i * 4 + 3] = 0;
    }
  } else if (colors > 0) {
    SourceRead(source, entries, size_t{colors} * 4);
  }
  if (off_bits != 0) SourceSeek(source, start + off_bits);
  return block;
}

namespace {

PackedBitmap* ReadBitmap(BitmapSource* source) {
  PackedBitmap* block = ReadBitmapHeader(source);
  if (!block) return nullptr;
  const BitmapInfoHeader h = PackedBitmapHeader(block);
  uint8_t* pixels = block + kInfoHeaderBytes + ColorTableSize(&h);
  SourceRead(source, pixels, static_cast<size_t>(h.biSizeImage));  // a short read leaves zeros
  TurnUpright(block);
  return block;
}

}  // namespace

PackedBitmap* LoadBitmapFile(const char* path) {
  if (!path || !*path) return nullptr;
  // Only a plain file: opening a pipe or a device could wait for ever.
  struct stat st;
  if (stat(path, &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return nullptr;
  BitmapSource source{file, nullptr, 0, 0};
  PackedBitmap* block = ReadBitmap(&source);
  std::fclose(file);
  return block;
}

PackedBitmap* LoadBitmapMemory(const uint8_t* data, size_t size) {
  if (!data) return nullptr;
  BitmapSource source{nullptr, data, size, 0};
  return ReadBitmap(&source);
}

void FreePackedBitmap(PackedBitmap* bitmap) { std::free(bitmap); }

BitmapInfoHeader PackedBitmapHeader(const PackedBitmap* bitmap) {
  BitmapInfoHeader h;
  std::memcpy(&h, bitmap, sizeof h);
  return h;
}

const uint8_t* PackedBitmapPixels(const PackedBitmap* bitmap) {
  const BitmapInfoHeader h = PackedBitmapHeader(bitmap);
  return bitmap + kInfoHeaderBytes + ColorTableSize(&h);
}

size_t PackedBitmapBytes(const PackedBitmap* bitmap) {
  const BitmapInfoHeader h = PackedBitmapHeader(bitmap);
  return kInfoHeaderBytes + ColorTableSize(&h) + static_cast<size_t>(h.biSizeImage);
}
