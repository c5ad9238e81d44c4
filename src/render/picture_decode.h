// What the PNG and JPEG decoders of each platform (libpng and libjpeg on
// Linux, the Windows Imaging Component on Windows) share with the portable
// picture loading.
#pragma once

#include <cstddef>
#include <cstdint>

#include "render/bitmap.h"
#include "render/picture.h"

// Each decodes a whole picture into a new block from NewPictureBlock: blue,
// green, red and alpha (straight, 255 where opaque), rows bottom-up. Sets
// *transparent when some alpha may be below 255. None, with *problem set,
// for a picture it can't decode or that NewPictureBlock refuses.
// `max_texture_size` as for LoadPictureMemory.
PackedBitmap* DecodePng(const uint8_t* data, size_t size, int32_t max_texture_size,
                        bool* transparent, PictureProblem* problem);
PackedBitmap* DecodeJpeg(const uint8_t* data, size_t size, int32_t max_texture_size,
                         bool* transparent, PictureProblem* problem);

// Whether a picture of width x height fits in kMaxPictureBytes as 32 bits.
bool PictureFits(uint64_t width, uint64_t height);
// A zeroed 32-bit bottom-up block of width x height; none for an empty
// size (*problem left as it is), with *problem PICTURE_TOO_LARGE past
// kMaxPictureBytes or PICTURE_NO_MEMORY when it can't be had.
PackedBitmap* NewPictureBlock(uint32_t width, uint32_t height, PictureProblem* problem);
// The first byte of row `row` counted from the top.
uint8_t* PictureRowFromTop(PackedBitmap* block, uint32_t row);

// The width and height a PNG's IHDR or a JPEG's frame header states; false
// where there is none (the decoder then finds the file damaged).
bool StoredPictureSize(const uint8_t* data, size_t size, uint32_t* width, uint32_t* height);
// The EXIF orientation (1..8) that a JPEG's APP1 segment or a PNG's eXIf
// chunk gives; 1 where there is none or it can't be read.
int32_t PictureOrientation(const uint8_t* data, size_t size);
// The picture turned and mirrored upright for EXIF orientation 2..8 (the
// block is then replaced by a new one and freed); the block itself for any
// other orientation. None, the block freed, when the new one can't be had.
PackedBitmap* TurnPictureUpright(PackedBitmap* block, int32_t orientation);
