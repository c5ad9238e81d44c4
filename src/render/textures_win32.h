// The GDI side of the texture images: each image lives in a DIB section,
// drawn into by StretchDIBits.
#pragma once

#include "render/gl_compat.h"
#include "render/textures.h"

extern HBITMAP FrontPieceBitmap[kFrontPieces];
extern HBITMAP LogoBitmap;

// StretchDIBits with the bitmap's own header and colour table as its
// BITMAPINFO; source y counts up from the bottom row of a bottom-up bitmap.
// Gives the number of rows drawn.
int StretchPackedBitmap(HDC dc, int x, int y, int width, int height, const PackedBitmap* bitmap,
                        int source_x, int source_y, int source_width, int source_height,
                        DWORD raster_operation);
