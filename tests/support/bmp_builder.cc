#include "bmp_builder.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

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

namespace {

// Bit-field masks and how a 0xRRGGBB colour packs into them.
struct FieldLayout {
  int bytes;
  uint32_t red, green, blue;
};
const FieldLayout kFields16 = {2, 0xF800, 0x07E0, 0x001F};
const FieldLayout kFields32 = {4, 0x000000FF, 0x0000FF00, 0x00FF0000};  // red lowest

uint32_t Pack(const FieldLayout& f, uint32_t colour) {
  uint32_t v = 0;
  for (const auto& [mask, shift] : {std::pair{f.red, 16}, {f.green, 8}, {f.blue, 0}}) {
    const uint32_t c = (colour >> shift) & 0xFF;
    int low = 0, bits = 0;
    while (!((mask >> low) & 1)) ++low;
    while ((mask >> (low + bits)) & 1) ++bits;
    v |= (c >> (8 - bits)) << low;
  }
  return v;
}

}  // namespace

std::vector<uint8_t> BuildPicture(int w, int h, const std::function<uint32_t(int, int)>& colour,
                                  PictureForm form) {
  BmpSpec s;
  s.width = w;
  s.height = h;
  const FieldLayout* fields = form == PictureForm::kFields16WithTable   ? &kFields16
                              : form == PictureForm::kFields32WithTable ? &kFields32
                                                                        : nullptr;
  const int bytes = fields ? fields->bytes : 3;
  const int row = (w * bytes + 3) / 4 * 4;
  s.pixels.assign(static_cast<size_t>(row) * h, 0);
  const bool top_down = form == PictureForm::kTopDown24 || form == PictureForm::kTopDown24NoSize;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const uint32_t c = colour(x, y);
      const uint32_t v = fields ? Pack(*fields, c) : c;
      uint8_t* p = &s.pixels[static_cast<size_t>(top_down ? y : h - 1 - y) * row + x * bytes];
      for (int k = 0; k < bytes; ++k) p[k] = static_cast<uint8_t>(v >> (8 * k));
    }
  }
  if (top_down) s.height = -h;
  if (form == PictureForm::kTopDown24) s.size_image = static_cast<int32_t>(s.pixels.size());
  if (fields) {
    s.bit_count = static_cast<uint16_t>(fields->bytes * 8);
    s.compression = 3;  // BI_BITFIELDS: the masks first, then the table
    for (uint32_t mask : {fields->red, fields->green, fields->blue}) {
      for (int k = 0; k < 4; ++k) s.table.push_back(static_cast<uint8_t>(mask >> (8 * k)));
    }
    s.clr_used = 256;  // a table some converters add; it must not be read as masks
    for (int i = 0; i < 256; ++i) s.table.insert(s.table.end(), {0x11, 0x22, uint8_t(i), 0});
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
