// JPEG through libjpeg(-turbo): baseline and progressive, colour, grey and
// CMYK, brought to blue, green, red, 255; a photo far larger than the face
// needs is decoded at a half, a quarter or an eighth of its size.
#include <cstdio>  // jpeglib.h wants FILE and size_t first
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <csetjmp>

#include "render/picture_decode.h"
#include "render/textures.h"

namespace {

// More scans than any encoder writes: a file with thousands of tiny
// progressive scans could keep the decoder busy for minutes.
constexpr int kMostScans = 500;

struct Failure {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

[[noreturn]] void Fail(j_common_ptr info) {
  std::longjmp(reinterpret_cast<Failure*>(info->err)->jump, 1);
}

// Warnings pass in silence, but a file or a scan that ends early is
// damaged (libjpeg would fill the rest with grey).
void Warn(j_common_ptr info, int level) {
  const int code = info->err->msg_code;
  if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)) Fail(info);
}

void CountScans(j_common_ptr info) {
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMostScans) Fail(info);
}

// The largest reduction (8, 4, 2 or none) whose pieces still have at least
// as many pixels as the texture edge in each direction, at the same edge.
unsigned ScaleDenominator(uint32_t width, uint32_t height, int32_t max_texture_size) {
  const int32_t edge = TextureEdgeFor(int32_t(width), int32_t(height), max_texture_size);
  for (uint32_t d = 8; d > 1; d /= 2) {
    const uint32_t w = (width + d - 1) / d, h = (height + d - 1) / d;  // as libjpeg rounds
    if (TextureEdgeFor(int32_t(w), int32_t(h), max_texture_size) == edge && int64_t{w / 3} >= edge &&
        int64_t{h / 3} >= edge)
      return d;
  }
  return 1;
}

// The memory a decode takes: the picture, and the coefficients of every
// block that a file of many scans keeps until its last one (libjpeg
// allocates them at once; not every version honours max_memory_to_use).
uint64_t DecodingBytes(j_decompress_ptr info) {
  uint64_t bytes = uint64_t{info->output_width} * info->output_height * 4;
  for (int i = 0; jpeg_has_multiple_scans(info) && i < info->num_components; ++i) {
    const jpeg_component_info& c = info->comp_info[i];
    bytes += uint64_t{c.width_in_blocks} * c.height_in_blocks * sizeof(JBLOCK);
  }
  return bytes;
}

// CMYK as Adobe's programs write it (inverted, flagged by their marker) or
// plain, to blue, green, red, 255, in place.
void CmykToBgra(uint8_t* row, uint32_t width, bool inverted) {
  for (uint32_t x = 0; x < width; ++x, row += 4) {
    uint32_t c = row[0], m = row[1], y = row[2], k = row[3];
    if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    row[0] = uint8_t((y * k + 127) / 255);
    row[1] = uint8_t((m * k + 127) / 255);
    row[2] = uint8_t((c * k + 127) / 255);
    row[3] = 255;
  }
}

// Reads the picture into a block; on any error libjpeg jumps back to
// DecodeJpeg's setjmp, which frees what *block holds.
void ReadPicture(jpeg_decompress_struct* info, int32_t max_texture_size,
                 PackedBitmap* volatile* block, PictureProblem* problem) {
  jpeg_read_header(info, TRUE);
  if (!PictureFits(info->image_width, info->image_height)) {
    *problem = PICTURE_TOO_LARGE;
    Fail(reinterpret_cast<j_common_ptr>(info));
  }
  const bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
  info->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  info->scale_num = 1;
  info->scale_denom = ScaleDenominator(info->image_width, info->image_height, max_texture_size);
  jpeg_calc_output_dimensions(info);
  if (DecodingBytes(info) > uint64_t{kMaxPictureBytes}) {
    *problem = PICTURE_TOO_LARGE;
    Fail(reinterpret_cast<j_common_ptr>(info));
  }
  *block = NewPictureBlock(info->output_width, info->output_height, problem);
  if (!*block) Fail(reinterpret_cast<j_common_ptr>(info));
  jpeg_start_decompress(info);
  while (info->output_scanline < info->output_height) {
    JSAMPROW row = PictureRowFromTop(*block, info->output_scanline);
    if (jpeg_read_scanlines(info, &row, 1) != 1) Fail(reinterpret_cast<j_common_ptr>(info));
    if (cmyk) CmykToBgra(row, info->output_width, info->saw_Adobe_marker);
  }
}

}  // namespace

PackedBitmap* DecodeJpeg(const uint8_t* data, size_t size, int32_t max_texture_size,
                         bool* transparent, PictureProblem* problem) {
  *problem = PICTURE_DAMAGED_JPEG;
  *transparent = false;
  jpeg_decompress_struct info;
  Failure failure;
  info.err = jpeg_std_error(&failure.manager);
  failure.manager.error_exit = Fail;
  failure.manager.emit_message = Warn;
  jpeg_progress_mgr progress = {CountScans, 0, 0, 0, 0};
  PackedBitmap* volatile block = nullptr;
  if (setjmp(failure.jump)) {
    // Past the memory limit the decoder ends as it does for a damaged file.
    const int code = failure.manager.msg_code;
    if (code == JERR_NO_BACKING_STORE || code == JERR_OUT_OF_MEMORY) *problem = PICTURE_TOO_LARGE;
    jpeg_destroy_decompress(&info);
    if (block) FreePackedBitmap(block);
    return nullptr;
  }
  jpeg_create_decompress(&info);
  // libjpeg's own buffers stay within the limit where it honours this;
  // past it, it fails rather than spill to disk.
  info.mem->max_memory_to_use = kMaxPictureBytes;
  info.progress = &progress;
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  ReadPicture(&info, max_texture_size, &block, problem);
  jpeg_destroy_decompress(&info);
  *problem = PICTURE_FINE;
  return block;
}
