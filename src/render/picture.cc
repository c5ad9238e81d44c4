#include "render/picture.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "render/face_colours.h"
#include "render/picture_decode.h"

namespace {

enum PictureFormat { FORMAT_BITMAP, FORMAT_PNG, FORMAT_JPEG };

// The first bytes, never the name, tell the format; anything else goes to
// the bitmap reader, which also takes a bitmap without a file header.
PictureFormat FormatOf(const uint8_t* head, size_t size) {
  static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (size >= sizeof kPng && std::memcmp(head, kPng, sizeof kPng) == 0) return FORMAT_PNG;
  if (size >= 3 && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) return FORMAT_JPEG;
  return FORMAT_BITMAP;
}

// Why the bitmap reader refused a file that starts with `head`: a "BM" file
// with a later header than it reads, one whose header asks for more than
// the limit, any other "BM" file damaged, and the rest no bitmap at all.
PictureProblem BitmapProblem(const uint8_t* head, size_t size) {
  if (size < 2 || head[0] != 'B' || head[1] != 'M') return PICTURE_UNKNOWN_FORMAT;
  if (size < kFileHeaderBytes + kInfoHeaderBytes) return PICTURE_DAMAGED_BITMAP;
  BitmapInfoHeader h;
  std::memcpy(&h, head + kFileHeaderBytes, sizeof h);
  if (h.biSize > kInfoHeaderBytes) return PICTURE_BITMAP_FORM;
  if (h.biSize != kInfoHeaderBytes) return PICTURE_DAMAGED_BITMAP;
  const int64_t bytes = BitmapImageBytes(h.biWidth, h.biHeight, h.biBitCount);
  const bool too_large = bytes > kMaxPictureBytes || bytes < -kMaxPictureBytes ||
                         h.biSizeImage > kMaxPictureBytes;
  return too_large ? PICTURE_TOO_LARGE : PICTURE_DAMAGED_BITMAP;
}

// Transparent parts show the front face's own colour; every pixel ends opaque.
void ComposeOverFrontFace(PackedBitmap* block) {
  const BitmapInfoHeader h = PackedBitmapHeader(block);
  const uint32_t face[3] = {FaceColourByte(FACE_FRONT, 2), FaceColourByte(FACE_FRONT, 1),
                            FaceColourByte(FACE_FRONT, 0)};
  uint8_t* p = block + kInfoHeaderBytes;
  for (uint64_t n = uint64_t(h.biWidth) * uint64_t(h.biHeight); n > 0; --n, p += 4) {
    const uint32_t alpha = p[3];
    if (alpha == 255) continue;
    for (int c = 0; c < 3; ++c) p[c] = uint8_t((p[c] * alpha + face[c] * (255 - alpha) + 127) / 255);
    p[3] = 255;
  }
}

PackedBitmap* DecodePicture(PictureFormat format, const uint8_t* data, size_t size,
                            int32_t max_texture_size, PictureProblem* problem) {
  // A picture past the limit is refused before any decoder is asked for it.
  uint32_t width = 0, height = 0;
  if (StoredPictureSize(data, size, &width, &height) && !PictureFits(width, height)) {
    *problem = PICTURE_TOO_LARGE;
    return nullptr;
  }
  bool transparent = false;
  PackedBitmap* block =
      format == FORMAT_PNG ? DecodePng(data, size, max_texture_size, &transparent, problem)
                           : DecodeJpeg(data, size, max_texture_size, &transparent, problem);
  if (!block) return nullptr;
  if (transparent) ComposeOverFrontFace(block);
  block = TurnPictureUpright(block, PictureOrientation(data, size));
  if (!block) *problem = PICTURE_NO_MEMORY;
  return block;
}

// The whole file, for the decoders that read from memory; none with
// *problem set when it can't be read.
uint8_t* ReadWholeFile(std::FILE* file, size_t size, PictureProblem* problem) {
  if (size > size_t(kMaxPictureBytes)) {
    *problem = PICTURE_TOO_LARGE;
    return nullptr;
  }
  uint8_t* bytes = static_cast<uint8_t*>(std::malloc(size ? size : 1));
  if (!bytes) {
    *problem = PICTURE_NO_MEMORY;
  } else if (std::fread(bytes, 1, size, file) != size) {
    *problem = PICTURE_CANT_READ;
    std::free(bytes);
    bytes = nullptr;
  }
  return bytes;
}

}  // namespace

bool PictureFits(uint64_t width, uint64_t height) {
  const uint64_t limit = uint64_t{kMaxPictureBytes} / 4;
  return width > 0 && height > 0 && width <= limit && height <= limit / width;
}

PackedBitmap* NewPictureBlock(uint32_t width, uint32_t height, PictureProblem* problem) {
  if (width == 0 || height == 0) return nullptr;
  if (!PictureFits(width, height)) {
    *problem = PICTURE_TOO_LARGE;
    return nullptr;
  }
  const size_t pixels = size_t{width} * height * 4;
  PackedBitmap* block = static_cast<PackedBitmap*>(std::calloc(1, kInfoHeaderBytes + pixels));
  if (!block) {
    *problem = PICTURE_NO_MEMORY;
    return nullptr;
  }
  BitmapInfoHeader h = {};
  h.biSize = kInfoHeaderBytes;
  h.biWidth = int32_t(width);
  h.biHeight = int32_t(height);
  h.biPlanes = 1;
  h.biBitCount = 32;
  h.biCompression = BI_RGB_CODE;
  h.biSizeImage = int32_t(pixels);
  std::memcpy(block, &h, sizeof h);
  return block;
}

uint8_t* PictureRowFromTop(PackedBitmap* block, uint32_t row) {
  const BitmapInfoHeader h = PackedBitmapHeader(block);
  return block + kInfoHeaderBytes + (size_t(h.biHeight) - 1 - row) * size_t(h.biWidth) * 4;
}

PackedBitmap* LoadPictureMemory(const uint8_t* data, size_t size, int32_t max_texture_size,
                                PictureProblem* problem) {
  *problem = PICTURE_FINE;
  if (!data) data = reinterpret_cast<const uint8_t*>("");
  const PictureFormat format = FormatOf(data, size);
  if (format != FORMAT_BITMAP) return DecodePicture(format, data, size, max_texture_size, problem);
  PackedBitmap* bitmap = LoadBitmapMemory(data, size);
  if (!bitmap) *problem = BitmapProblem(data, size);
  return bitmap;
}

PackedBitmap* LoadPictureFile(const char* path, int32_t max_texture_size, PictureProblem* problem) {
  *problem = PICTURE_FINE;
  if (!path || !*path) {
    *problem = PICTURE_NO_PATH;
    return nullptr;
  }
  struct stat st;
  if (stat(path, &st) != 0) {
    *problem = errno == ENOENT || errno == ENOTDIR ? PICTURE_NO_SUCH_FILE : PICTURE_CANT_READ;
    return nullptr;
  }
  if (!S_ISREG(st.st_mode)) {  // a folder, or a pipe or device that could wait for ever
    *problem = PICTURE_NOT_A_FILE;
    return nullptr;
  }
  std::FILE* file = std::fopen(path, "rb");
  if (!file) {
    *problem = PICTURE_CANT_READ;
    return nullptr;
  }
  uint8_t head[kFileHeaderBytes + kInfoHeaderBytes] = {};
  const size_t head_size = std::fread(head, 1, sizeof head, file);
  const PictureFormat format = FormatOf(head, head_size);
  PackedBitmap* picture = nullptr;
  if (format == FORMAT_BITMAP) {
    std::fclose(file);
    picture = LoadBitmapFile(path);  // the bitmap reader, as it has always read files
    if (!picture) *problem = BitmapProblem(head, head_size);
    return picture;
  }
  std::rewind(file);
  uint8_t* bytes = ReadWholeFile(file, size_t(st.st_size), problem);
  std::fclose(file);
  if (bytes) picture = DecodePicture(format, bytes, size_t(st.st_size), max_texture_size, problem);
  std::free(bytes);
  return picture;
}

bool PictureFileIsBitmap(const char* path) {
  std::FILE* file = path ? std::fopen(path, "rb") : nullptr;
  if (!file) return true;
  uint8_t head[8] = {};
  const size_t head_size = std::fread(head, 1, sizeof head, file);
  std::fclose(file);
  return FormatOf(head, head_size) == FORMAT_BITMAP;
}

const char* PictureProblemText(PictureProblem problem) {
  switch (problem) {
    case PICTURE_FINE: return "";
    case PICTURE_NO_PATH: return "no file is named";
    case PICTURE_NO_SUCH_FILE: return "there is no such file";
    case PICTURE_NOT_A_FILE: return "it is not a file";
    case PICTURE_CANT_READ: return "it can't be read";
    case PICTURE_UNKNOWN_FORMAT: return "it is not a picture this program reads (BMP, PNG or JPEG)";
    case PICTURE_BITMAP_FORM: return "it is a kind of bitmap this program doesn't read";
    case PICTURE_DAMAGED_BITMAP: return "the bitmap is damaged";
    case PICTURE_DAMAGED_PNG: return "the PNG picture is damaged";
    case PICTURE_DAMAGED_JPEG: return "the JPEG picture is damaged";
    case PICTURE_TOO_LARGE: return "it is too large";
    case PICTURE_NO_MEMORY: return "there is not enough memory for it";
    case PICTURE_NO_DECODER: return "this system has no decoder for it";
  }
  return "it can't be shown";
}
