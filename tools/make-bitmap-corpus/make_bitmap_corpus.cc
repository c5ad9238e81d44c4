// make-bitmap-corpus DIR
// Writes one small .bmp file for every form the bitmap reader accepts: core
// and 40-byte headers; 1, 4, 8, 16, 24 and 32 bits; RLE4 and RLE8 with
// encoded and absolute runs, deltas and line ends; bit fields (with and
// without a colour table); top-down rows; odd widths; short colour tables;
// no file header. Its output is committed as tests/data/bitmaps, where the
// differential tests and the fuzzers' seeds take it from.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bmp_file.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Form {
  std::string name;
  uint32_t header = 40;  // 12: core
  int32_t width = 13, height = 7;
  uint16_t bits = 24;
  uint32_t compression = 0;
  uint32_t colours = 0;  // biClrUsed; the table written has this many entries (or 2^bits)
  bool file_header = true;
  bool top_down = false;
  Bytes masks;   // BI_BITFIELDS
  Bytes pixels;  // as stored; made from the pattern when empty
};

// A colour for every place, so that every pixel can be told apart.
uint32_t Pattern(int x, int y) {
  return (uint32_t(x * 37 + y * 11) & 0xFF) << 16 | (uint32_t(x * 5 + y * 53) & 0xFF) << 8 |
         (uint32_t(x * 71 ^ y * 29) & 0xFF);
}

uint32_t TableEntries(const Form& f) {
  if (f.colours) return f.colours;
  return f.bits <= 8 ? 1u << f.bits : 0;
}

Bytes Table(const Form& f) {
  Bytes table;
  const uint32_t n = TableEntries(f);
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t c = Pattern(int(i), int(i * 3 + 1));
    table.push_back(uint8_t(c));
    table.push_back(uint8_t(c >> 8));
    table.push_back(uint8_t(c >> 16));
    if (f.header != 12) table.push_back(0);
  }
  return table;
}

// Rows bottom-up (or top-down) of the pattern in the form's depth; palette
// forms use index (x + 2y) mod 2^bits, reaching past a short table.
Bytes Rows(const Form& f) {
  const int row_bytes = (f.width * f.bits + 31) / 32 * 4;
  Bytes out(size_t(row_bytes) * f.height, 0);
  for (int stored = 0; stored < f.height; ++stored) {
    const int y = f.top_down ? f.height - 1 - stored : stored;  // y from the bottom
    uint8_t* row = &out[size_t(stored) * row_bytes];
    for (int x = 0; x < f.width; ++x) {
      const uint32_t c = Pattern(x, y);
      const uint32_t index = uint32_t(x + 2 * y) & ((1u << (f.bits < 8 ? f.bits : 8)) - 1);
      switch (f.bits) {
        case 1: row[x / 8] |= uint8_t((index & 1) << (7 - x % 8)); break;
        case 4: row[x / 2] |= uint8_t((index & 15) << (x % 2 ? 0 : 4)); break;
        case 8: row[x] = uint8_t(index); break;
        case 16: {
          const bool fields = f.compression == 3;
          const uint32_t v = fields ? (c >> 19 & 31) << 11 | (c >> 10 & 63) << 5 | (c >> 3 & 31)
                                    : (c >> 19 & 31) << 10 | (c >> 11 & 31) << 5 | (c >> 3 & 31);
          row[x * 2] = uint8_t(v);
          row[x * 2 + 1] = uint8_t(v >> 8);
          break;
        }
        case 24: row[x * 3] = uint8_t(c); row[x * 3 + 1] = uint8_t(c >> 8); row[x * 3 + 2] = uint8_t(c >> 16); break;
        case 32: {
          // Fields in the odd order red low, blue high; plain 32 bits as BGRX.
          const uint32_t v = f.compression == 3 ? (c >> 16) | (c & 0xFF00) | (c & 0xFF) << 16 : c;
          for (int k = 0; k < 4; ++k) row[x * 4 + k] = uint8_t(v >> (8 * k));
          break;
        }
      }
    }
  }
  return out;
}

Bytes File(const Form& f) {
  BmpFields b;
  b.file_header = f.file_header;
  b.header_size = f.header;
  b.width = f.width;
  b.height = f.top_down ? -f.height : f.height;
  b.bit_count = f.bits;
  b.compression = f.compression;
  b.clr_used = f.colours;
  b.table = f.masks;
  const Bytes table = Table(f);
  b.table.insert(b.table.end(), table.begin(), table.end());
  b.pixels = f.pixels.empty() ? Rows(f) : f.pixels;
  if (f.compression == 1 || f.compression == 2) b.size_image = int32_t(b.pixels.size());
  return BmpFileBytes(b);
}

// Run-length data on a 13 x 7 picture: encoded runs of two alternating
// indices, an absolute run (odd, so padded), a line end, a delta that skips
// pixels and rows, and the end of the bitmap before the last row.
Bytes RunLength(bool four) {
  const uint8_t two = four ? 0x12 : 3;
  Bytes d = {5, two};
  if (four) {
    d.insert(d.end(), {0, 5, 0x34, 0x56, 0x70, 0});  // five nibbles, padded to 16 bits
  } else {
    d.insert(d.end(), {0, 5, 4, 5, 6, 7, 8, 0});
  }
  d.insert(d.end(), {3, two, 0, 0});         // the rest of row 0, then the line's end
  d.insert(d.end(), {13, uint8_t(four ? 0x9A : 9), 0, 0});  // row 1 whole
  d.insert(d.end(), {4, two, 0, 2, 3, 2});   // row 2: four pixels, then 3 right and 2 up
  d.insert(d.end(), {6, uint8_t(four ? 0xBC : 11), 0, 0});  // row 4 from x 7
  d.insert(d.end(), {13, two, 0, 1});        // row 5, then the end: row 6 is left untouched
  return d;
}

Form Make(const std::string& name, uint32_t header, int32_t width, int32_t height, uint16_t bits,
          uint32_t compression = 0, uint32_t colours = 0) {
  Form f;
  f.name = name;
  f.header = header;
  f.width = width;
  f.height = height;
  f.bits = bits;
  f.compression = compression;
  f.colours = colours;
  return f;
}

std::vector<Form> Forms() {
  std::vector<Form> forms;
  const auto add = [&](Form f) { forms.push_back(f); };
  for (uint16_t bits : {1, 4, 8, 24}) add(Make("core-" + std::to_string(bits), 12, 13, 7, bits));
  for (uint16_t bits : {1, 4, 8, 16, 24, 32}) add(Make("info-" + std::to_string(bits), 40, 13, 7, bits));
  add(Make("info-1-width-1", 40, 1, 9, 1));
  add(Make("info-4-width-5", 40, 5, 4, 4));
  add(Make("info-8-width-31", 40, 31, 3, 8));
  add(Make("info-24-width-3", 40, 3, 5, 24));
  add(Make("info-4-short-table", 40, 13, 7, 4, 0, 6));
  add(Make("info-8-short-table", 40, 13, 7, 8, 0, 10));
  Form fields16 = Make("fields-16-565", 40, 13, 7, 16, 3);
  fields16.masks = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
  add(fields16);
  Form fields32 = Make("fields-32-odd-order", 40, 13, 7, 32, 3);
  fields32.masks = {0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF, 0};
  add(fields32);
  Form fields_table = fields16;
  fields_table.name = "fields-16-with-table";
  fields_table.colours = 16;
  add(fields_table);
  for (uint16_t bits : {8, 24, 32}) {
    Form f = Make("top-down-" + std::to_string(bits), 40, 13, 7, bits);
    f.top_down = true;
    add(f);
  }
  Form bare = Make("bare-8", 40, 13, 7, 8);
  bare.file_header = false;
  add(bare);
  Form rle8 = Make("rle8", 40, 13, 7, 8, 1, 16);
  rle8.pixels = RunLength(false);
  add(rle8);
  Form rle4 = Make("rle4", 40, 13, 7, 4, 2, 16);
  rle4.pixels = RunLength(true);
  add(rle4);
  return forms;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-bitmap-corpus DIR\n");
    return 2;
  }
  for (const Form& form : Forms()) {
    const std::string path = std::string(argv[1]) + "/" + form.name + ".bmp";
    if (!WriteFileBytes(path, File(form))) {
      std::fprintf(stderr, "make-bitmap-corpus: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
