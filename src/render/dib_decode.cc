#include "render/dib_decode.h"

#include <cstring>

namespace {

// The part of the picture being decoded: `out` holds its pixels.
struct Image {
  uint8_t* out;
  int32_t x, y, width, height;
};

void PutPixel(const Image& im, int64_t x, int64_t y, uint8_t b, uint8_t g, uint8_t r) {
  x -= im.x;
  y -= im.y;
  if (x < 0 || y < 0 || x >= im.width || y >= im.height) return;
  uint8_t* p = im.out + (static_cast<uint64_t>(y) * im.width + x) * 4;
  p[0] = b;
  p[1] = g;
  p[2] = r;
  p[3] = 255;
}

struct Palette {
  const uint8_t* entries;
  uint32_t count;
};

void PutIndexed(const Image& im, const Palette& pal, int64_t x, int64_t y, uint32_t index) {
  if (index >= pal.count) {
    PutPixel(im, x, y, 0, 0, 0);
    return;
  }
  const uint8_t* q = pal.entries + index * 4;
  PutPixel(im, x, y, q[0], q[1], q[2]);
}

// A colour mask as a shift and a width, to scale its field to 8 bits.
struct Field {
  uint32_t mask;
  int shift;
  int bits;
};

Field MakeField(uint32_t mask) {
  Field f{mask, 0, 0};
  if (!mask) return f;
  while (!(mask & 1)) {
    mask >>= 1;
    ++f.shift;
  }
  while (mask & 1) {
    mask >>= 1;
    ++f.bits;
  }
  return f;
}

uint8_t FieldValue(const Field& f, uint32_t pixel) {
  if (!f.bits) return 0;
  const uint32_t v = (pixel & f.mask) >> f.shift;
  if (f.bits >= 8) return static_cast<uint8_t>(v >> (f.bits - 8));
  // Repeat the high bits so that a full field becomes 255.
  uint32_t wide = 0;
  for (int filled = 0; filled < 8; filled += f.bits) wide = (wide << f.bits) | v;
  const int total = ((8 + f.bits - 1) / f.bits) * f.bits;
  return static_cast<uint8_t>(wide >> (total - 8));
}

bool DecodeUncompressed(const BitmapInfoHeader& h, const uint8_t* table, const uint8_t* pixels,
                        uint64_t pixel_bytes, const Image& im) {
  // Only the rows and columns of the rectangle are read.
  const int64_t y_end = int64_t{im.y} + im.height < h.biHeight ? int64_t{im.y} + im.height : h.biHeight;
  const int64_t x_end = int64_t{im.x} + im.width < h.biWidth ? int64_t{im.x} + im.width : h.biWidth;
  const int bits = h.biBitCount;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  const Palette pal{table, BitmapColorCount(&h)};  // indexed depths never have masks
  Field red, green, blue;
  if (h.biCompression == BI_BITFIELDS_CODE) {
    if (bits != 16 && bits != 32) return false;
    uint32_t masks[3];  // first in the table, the colour entries after them
    std::memcpy(masks, table, sizeof masks);
    red = MakeField(masks[0]);
    green = MakeField(masks[1]);
    blue = MakeField(masks[2]);
  } else if (bits == 16) {
    red = MakeField(0x7C00);
    green = MakeField(0x03E0);
    blue = MakeField(0x001F);
  } else {
    red = MakeField(0xFF0000);
    green = MakeField(0x00FF00);
    blue = MakeField(0x0000FF);
  }
  const uint64_t row_bytes = static_cast<uint64_t>(BitmapRowBytes(h.biWidth, bits));
  for (int64_t y = im.y > 0 ? im.y : 0; y < y_end; ++y) {
    if ((y + 1) * row_bytes > pixel_bytes) break;
    const uint8_t* src = pixels + y * row_bytes;
    for (int64_t x = im.x > 0 ? im.x : 0; x < x_end; ++x) {
      switch (bits) {
        case 1: PutIndexed(im, pal, x, y, (src[x >> 3] >> (7 - (x & 7))) & 1); break;
        case 4: PutIndexed(im, pal, x, y, (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15); break;
        case 8: PutIndexed(im, pal, x, y, src[x]); break;
        case 24: PutPixel(im, x, y, src[x * 3], src[x * 3 + 1], src[x * 3 + 2]); break;
        default: {
          uint32_t v;
          if (bits == 16) {
            v = uint32_t{src[x * 2]} | uint32_t{src[x * 2 + 1]} << 8;
          } else {
            std::memcpy(&v, src + x * 4, 4);
          }
          PutPixel(im, x, y, FieldValue(blue, v), FieldValue(green, v), FieldValue(red, v));
        }
      }
    }
  }
  return true;
}

// RLE8 and RLE4: runs, end of line, end of bitmap, deltas and absolute
// runs, every read checked against the stored data.
bool DecodeRunLength(const BitmapInfoHeader& h, const uint8_t* table, const uint8_t* data,
                     uint64_t size, const Image& im) {
  const bool four = h.biCompression == BI_RLE4_CODE;
  if (h.biBitCount != (four ? 4 : 8)) return false;
  const Palette pal{table, BitmapColorCount(&h)};
  uint64_t at = 0;
  int64_t x = 0, y = 0;
  while (at + 2 <= size && y < int64_t{im.y} + im.height && y < h.biHeight) {
    const uint8_t count = data[at], value = data[at + 1];
    at += 2;
    if (count > 0) {
      for (int k = 0; k < count; ++k, ++x) {
        const uint32_t index = four ? ((k & 1) ? value & 15 : value >> 4) : value;
        PutIndexed(im, pal, x, y, index);
      }
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      if (at + 2 > size) break;
      x += data[at];
      y += data[at + 1];
      at += 2;
    } else {
      const uint64_t bytes = four ? (value + 1u) / 2 : value;
      if (at + bytes > size) break;
      for (int k = 0; k < value; ++k, ++x) {
        const uint8_t byte = data[at + (four ? k / 2 : k)];
        PutIndexed(im, pal, x, y, four ? ((k & 1) ? byte & 15 : byte >> 4) : byte);
      }
      at += (bytes + 1) & ~uint64_t{1};  // absolute runs are padded to 16 bits
    }
  }
  return true;
}

}  // namespace

uint64_t DecodedBytes(const PackedBitmap* bitmap) {
  const BitmapInfoHeader h = PackedBitmapHeader(bitmap);
  // The reader gives bottom-up blocks only; anything else is not ours to draw.
  if (h.biWidth <= 0 || h.biHeight <= 0) return 0;
  return uint64_t(h.biWidth) * uint64_t(h.biHeight) * 4;
}

bool DecodePackedBitmap(const PackedBitmap* bitmap, uint8_t* out) {
  const BitmapInfoHeader h = PackedBitmapHeader(bitmap);
  return DecodePackedBitmapRect(bitmap, PixelRect{0, 0, h.biWidth, h.biHeight}, out);
}

bool DecodePackedBitmapRect(const PackedBitmap* bitmap, const PixelRect& rect, uint8_t* out) {
  if (DecodedBytes(bitmap) == 0 || rect.width <= 0 || rect.height <= 0) return false;
  const BitmapInfoHeader h = PackedBitmapHeader(bitmap);
  const Image im{out, rect.x, rect.y, rect.width, rect.height};
  const uint8_t* table = bitmap + kInfoHeaderBytes;
  const uint8_t* pixels = PackedBitmapPixels(bitmap);
  const uint64_t size = static_cast<uint64_t>(h.biSizeImage);
  switch (h.biCompression) {
    case BI_RGB_CODE:
    case BI_BITFIELDS_CODE:
      return DecodeUncompressed(h, table, pixels, size, im);
    case BI_RLE8_CODE:
    case BI_RLE4_CODE:
      return DecodeRunLength(h, table, pixels, size, im);
    default:
      return false;
  }
}

void StretchDecodedImage(const uint8_t* image, int32_t width, int32_t height, uint8_t* texture,
                         int32_t edge) {
  StretchDecodedRect(image, width, PixelRect{0, 0, width, height}, texture, edge);
}

void StretchDecodedRect(const uint8_t* image, int64_t stride, const PixelRect& rect,
                        uint8_t* texture, int32_t edge) {
  if (rect.width <= 0 || rect.height <= 0 || edge <= 0) return;
  for (int32_t dy = 0; dy < edge; ++dy) {
    const int64_t y = rect.y + int64_t{dy} * rect.height / edge;
    for (int32_t dx = 0; dx < edge; ++dx) {
      const int64_t x = rect.x + int64_t{dx} * rect.width / edge;
      std::memcpy(texture + (int64_t{dy} * edge + dx) * 4, image + (y * stride + x) * 4, 4);
    }
  }
}
