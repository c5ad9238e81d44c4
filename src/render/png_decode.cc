// PNG through libpng: every colour type and bit depth, interlaced or not,
// brought to blue, green, red, alpha at 8 bits.
#include <png.h>

#include <csetjmp>
#include <cstring>

#include "render/picture_decode.h"

namespace {

// Chunks the front face never uses, skipped unread: their text and profiles
// could only cost time and memory.
const png_byte kSkippedChunks[] = {'i', 'C', 'C', 'P', 0, 'i', 'T', 'X', 't', 0, 't', 'E', 'X', 't', 0,
                                   'z', 'T', 'X', 't', 0, 's', 'P', 'L', 'T', 0};
// The largest ancillary chunk libpng may hold in memory (the eXIf and the
// palette of real files are far smaller).
constexpr png_alloc_size_t kMostChunkBytes = png_alloc_size_t{1} << 20;

struct Reader {
  const uint8_t* data;
  size_t size, at;
};

void ReadBytes(png_structp png, png_bytep out, size_t count) {
  Reader* r = static_cast<Reader*>(png_get_io_ptr(png));
  if (count > r->size - r->at) png_error(png, "the file ends early");
  std::memcpy(out, r->data + r->at, count);
  r->at += count;
}

[[noreturn]] void Fail(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

// Reads the picture into a block; on any error libpng jumps back to
// DecodePng's setjmp, which frees what *block holds.
void ReadPicture(png_structp png, png_infop info, PackedBitmap* volatile* block, bool* transparent,
                 PictureProblem* problem) {
  png_read_info(png, info);
  const int colour_type = png_get_color_type(png, info);
  *transparent = (colour_type & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
  png_set_expand(png);  // palette and small greys to 8 bits, tRNS to alpha
  png_set_scale_16(png);
  png_set_gray_to_rgb(png);
  png_set_bgr(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);  // opaque where there is no alpha
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const uint32_t width = png_get_image_width(png, info), height = png_get_image_height(png, info);
  if (png_get_rowbytes(png, info) != size_t{width} * 4) png_error(png, "unexpected row size");
  *block = NewPictureBlock(width, height, problem);
  if (!*block) png_error(png, "no block");
  // Each pass of an interlaced picture adds its pixels to the rows.
  for (int pass = 0; pass < passes; ++pass) {
    for (uint32_t y = 0; y < height; ++y) png_read_row(png, PictureRowFromTop(*block, y), nullptr);
  }
}

}  // namespace

PackedBitmap* DecodePng(const uint8_t* data, size_t size, int32_t, bool* transparent,
                        PictureProblem* problem) {
  *problem = PICTURE_DAMAGED_PNG;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, Fail, IgnoreWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    *problem = PICTURE_NO_MEMORY;
    return nullptr;
  }
  Reader reader{data, size, 0};
  PackedBitmap* volatile block = nullptr;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    if (block) FreePackedBitmap(block);
    return nullptr;
  }
  png_set_read_fn(png, &reader, ReadBytes);
  png_set_user_limits(png, uint32_t{kMaxPictureBytes / 4}, uint32_t{kMaxPictureBytes / 4});
  png_set_chunk_malloc_max(png, kMostChunkBytes);
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kSkippedChunks,
                              int(sizeof kSkippedChunks / 5));
  ReadPicture(png, info, &block, transparent, problem);
  png_destroy_read_struct(&png, &info, nullptr);
  *problem = PICTURE_FINE;
  return block;
}
