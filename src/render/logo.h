// The logo tile, where the platform keeps no bitmap resources: the RLE4 file
// built into the program, read as any picture is.
#pragma once

#include "render/bitmap.h"

PackedBitmap* LoadLogoBitmap();
