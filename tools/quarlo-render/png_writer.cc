#include "png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <string>

namespace {

bool WriteRows(std::FILE* file, int32_t width, int32_t height, const uint8_t* rgba) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int32_t y = 0; y < height; ++y)
    png_write_row(png, const_cast<png_bytep>(rgba + static_cast<size_t>(y) * width * 4));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool WritePng(const char* path, int32_t width, int32_t height, const uint8_t* rgba) {
  const std::string temporary = std::string(path) + ".part";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return false;
  const bool written = WriteRows(file, width, height, rgba);
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed || std::rename(temporary.c_str(), path) != 0) {
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}
