// A GDI bitmap copied out into a PackedBitmap through GetDIBits.
#pragma once

#include "render/bitmap.h"
#include "render/gl_compat.h"

// bit_count 0 keeps the GDI bitmap's own depth; no palette: the stock one.
PackedBitmap* PackedBitmapFromGdiBitmap(HBITMAP bitmap, uint32_t compression, uint16_t bit_count,
                                        HPALETTE palette);
