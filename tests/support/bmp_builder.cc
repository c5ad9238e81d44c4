#include "bmp_builder.h"

#include <cstdio>
#include <cstdlib>

namespace {
void Put(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
}  // namespace

std::vector<uint8_t> BuildBmp(const BmpSpec& s) {
  std::vector<uint8_t> out;
  const uint32_t off = (s.file_header ? 14 : 0) + s.header_size + static_cast<uint32_t>(s.table.size()) + s.extra_gap;
  if (s.file_header) {
    Put(out, 'B' | 'M' << 8, 2);
    for (uint32_t v : {off + static_cast<uint32_t>(s.pixels.size()), 0u, off}) Put(out, v, 4);
  }
  const int field = s.header_size == 12 ? 2 : 4;  // a core header's width and height are 16 bits
  Put(out, s.header_size, 4);
  Put(out, static_cast<uint32_t>(s.width), field);
  Put(out, static_cast<uint32_t>(s.height), field);
  Put(out, s.planes, 2);
  Put(out, s.bit_count, 2);
  if (s.header_size != 12) {
    for (uint32_t v : {s.compression, static_cast<uint32_t>(s.size_image), 2835u, 2835u, s.clr_used, 0u}) Put(out, v, 4);
    for (uint32_t k = 40; k < s.header_size; ++k) out.push_back(0);
  }
  out.insert(out.end(), s.table.begin(), s.table.end());
  out.insert(out.end(), s.extra_gap, 0xEE);
  out.insert(out.end(), s.pixels.begin(), s.pixels.end());
  return out;
}

std::vector<uint8_t> BuildPicture(int w, int h, const std::function<uint32_t(int, int)>& colour) {
  BmpSpec s;
  s.width = w;
  s.height = h;
  const int row = (w * 3 + 3) / 4 * 4;
  s.pixels.assign(static_cast<size_t>(row) * h, 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t c = colour(x, y);
      uint8_t* p = &s.pixels[static_cast<size_t>(h - 1 - y) * row + x * 3];
      for (int k = 0; k < 3; ++k) p[k] = static_cast<uint8_t>(c >> (8 * k));
    }
  }
  return BuildBmp(s);
}

std::string WriteTempFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  const char* dir = std::getenv("TEST_TMPDIR");
  if (!dir) dir = std::getenv("TMPDIR");
  if (!dir) dir = std::getenv("TEMP");
  std::string path = std::string(dir ? dir : "/tmp") + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  return path;
}
