#include "bmp_file.h"

#include <cstdio>

namespace {
void Put(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
}  // namespace

std::vector<uint8_t> BmpFileBytes(const BmpFields& f) {
  std::vector<uint8_t> out;
  const uint32_t offset =
      (f.file_header ? 14 : 0) + f.header_size + static_cast<uint32_t>(f.table.size()) + f.extra_gap;
  if (f.file_header) {
    Put(out, 'B' | 'M' << 8, 2);
    for (uint32_t v : {offset + static_cast<uint32_t>(f.pixels.size()), 0u, offset}) Put(out, v, 4);
  }
  const int field = f.header_size == 12 ? 2 : 4;  // a core header's width and height are 16 bits
  Put(out, f.header_size, 4);
  Put(out, static_cast<uint32_t>(f.width), field);
  Put(out, static_cast<uint32_t>(f.height), field);
  Put(out, f.planes, 2);
  Put(out, f.bit_count, 2);
  if (f.header_size != 12) {
    for (uint32_t v : {f.compression, static_cast<uint32_t>(f.size_image), 2835u, 2835u, f.clr_used,
                       f.clr_important}) {
      Put(out, v, 4);
    }
    for (uint32_t k = 40; k < f.header_size; ++k) out.push_back(0);
  }
  out.insert(out.end(), f.table.begin(), f.table.end());
  out.insert(out.end(), f.extra_gap, 0xEE);
  out.insert(out.end(), f.pixels.begin(), f.pixels.end());
  return out;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}
