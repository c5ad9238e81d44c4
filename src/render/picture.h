// The pictures the front face can show: Windows bitmaps, PNG and JPEG, told
// apart by their first bytes, all brought into the same PackedBitmap form
// (a PNG or a JPEG becomes 32 bits, bottom-up, turned upright by its EXIF
// orientation, its transparent parts showing the front face's colour).
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/bitmap.h"

// Why a picture can't be shown.
enum PictureProblem {
  PICTURE_FINE = 0,
  PICTURE_NO_PATH,
  PICTURE_NO_SUCH_FILE,
  PICTURE_NOT_A_FILE,
  PICTURE_CANT_READ,
  PICTURE_UNKNOWN_FORMAT,
  PICTURE_BITMAP_FORM,
  PICTURE_DAMAGED_BITMAP,
  PICTURE_DAMAGED_PNG,
  PICTURE_DAMAGED_JPEG,
  PICTURE_TOO_LARGE,
  PICTURE_NO_MEMORY,
  PICTURE_NO_DECODER,
};

// The picture at `path` (any of the three formats), or none with *problem
// saying why. `max_texture_size` is the limit TextureEdgeFor is given: a
// JPEG larger than its pieces need may be decoded at a half, a quarter or
// an eighth of its size (never below what the texture edge uses).
PackedBitmap* LoadPictureFile(const char* path, int32_t max_texture_size, PictureProblem* problem);
// Whether the bitmap reader reads the file (it is no PNG or JPEG, or can't
// be opened to tell).
bool PictureFileIsBitmap(const char* path);
// The same for a picture's bytes in memory.
PackedBitmap* LoadPictureMemory(const uint8_t* data, size_t size, int32_t max_texture_size,
                                PictureProblem* problem);

// A few plain words for a problem ("there is no such file", "it is not a
// picture this program reads", "the JPEG picture is damaged", ...): the
// end of a sentence that names the file. Empty for PICTURE_FINE.
const char* PictureProblemText(PictureProblem problem);
