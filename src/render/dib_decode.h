// Our own decoder of device-independent bitmaps, for platforms without GDI
// (and for comparing with it on Windows).
#pragma once

#include <cstdint>

#include "render/bitmap.h"
#include "render/pixel_rect.h"

// Decodes every form the bitmap reader accepts (1, 4, 8, 16, 24 and 32 bits;
// BI_RGB, BI_RLE4, BI_RLE8, BI_BITFIELDS; rows bottom-up, as the reader
// leaves them) into `out`: width x height pixels of blue, green, red, 255,
// rows bottom-up. `out` must hold DecodedBytes(bitmap) bytes. Pixels the
// data does not cover stay as they were. Returns false, drawing nothing,
// for a form it does not know.
bool DecodePackedBitmap(const PackedBitmap* bitmap, uint8_t* out);
// The same for one rectangle of the picture, into `out` of rect.width x
// rect.height pixels, with no more work than the rectangle needs (run-length
// data is read up to the rectangle's top row).
bool DecodePackedBitmapRect(const PackedBitmap* bitmap, const PixelRect& rect, uint8_t* out);
// Bytes DecodePackedBitmap writes, or 0 for an empty or unusable size.
uint64_t DecodedBytes(const PackedBitmap* bitmap);

// Nearest-pixel stretch of a whole decoded image (rows bottom-up) onto a
// square texture image of edge `edge`, the way GDI stretches with
// COLORONCOLOR. An empty image draws nothing.
void StretchDecodedImage(const uint8_t* image, int32_t width, int32_t height, uint8_t* texture,
                         int32_t edge);
// The same for a rectangle of a larger image whose rows hold `stride` pixels.
void StretchDecodedRect(const uint8_t* image, int64_t stride, const PixelRect& rect,
                        uint8_t* texture, int32_t edge);
