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
  const uint32_t header = s.header_size == 12 ? 12 : s.header_size;
  const uint32_t off = (s.file_header ? 14 : 0) + header + static_cast<uint32_t>(s.table.size()) +
                       s.extra_gap;
  if (s.file_header) {
    out.push_back('B');
    out.push_back('M');
    Put(out, off + static_cast<uint32_t>(s.pixels.size()), 4);
    Put(out, 0, 4);
    Put(out, off, 4);
  }
  Put(out, s.header_size, 4);
  if (s.header_size == 12) {
    Put(out, static_cast<uint32_t>(s.width), 2);
    Put(out, static_cast<uint32_t>(s.height), 2);
    Put(out, s.planes, 2);
    Put(out, s.bit_count, 2);
  } else {
    Put(out, static_cast<uint32_t>(s.width), 4);
    Put(out, static_cast<uint32_t>(s.height), 4);
    Put(out, s.planes, 2);
    Put(out, s.bit_count, 2);
    Put(out, s.compression, 4);
    Put(out, static_cast<uint32_t>(s.size_image), 4);
    Put(out, 2835, 4);
    Put(out, 2835, 4);
    Put(out, s.clr_used, 4);
    Put(out, 0, 4);
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
