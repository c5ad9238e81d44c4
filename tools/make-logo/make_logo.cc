// Draws the logo tile (320 x 256, 16 colours) and writes it as an RLE4
// bitmap file: make-logo OUT.bmp
#include <cstdint>
#include <cstdio>
#include <vector>

#include "bmp_file.h"

namespace {

constexpr int kWidth = 320, kHeight = 256;

// Blue, green, red: the tile's 16 colours.
const uint8_t kPalette[16][3] = {
    {0x40, 0x20, 0x10},  // 0 deep navy, the ground
    {0x60, 0x34, 0x1c},  // 1 lighter navy, the diagonal weave
    {0x00, 0x00, 0x00},  // 2 black, outlines
    {0xff, 0xff, 0xff},  // 3 white
    {0x20, 0x20, 0xd8},  // 4 red
    {0x20, 0xc0, 0x20},  // 5 green
    {0xd8, 0x40, 0x20},  // 6 blue
    {0x20, 0xe0, 0xe8},  // 7 yellow
    {0xc8, 0x40, 0xc8},  // 8 magenta
    {0xd8, 0xd0, 0x30},  // 9 cyan
    {0x90, 0x90, 0x90},  // 10 grey
    {0x30, 0x90, 0xf0},  // 11 orange, the letters
    {0x18, 0x60, 0xa0},  // 12 brown, the letters' shadow
    {0x80, 0x50, 0x30},  // 13 slate, the frame
    {0xe0, 0xb0, 0x90},  // 14 pale blue, highlights
    {0x50, 0x50, 0x50},  // 15 dark grey
};

uint8_t Canvas[kHeight][kWidth];  // row 0 is the top

void Plot(int x, int y, uint8_t c) {
  if (x >= 0 && y >= 0 && x < kWidth && y < kHeight) Canvas[y][x] = c;
}

void FillRect(int x0, int y0, int w, int h, uint8_t c) {
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x) Plot(x, y, c);
}

// A parallelogram from origin o along edge vectors a and b, split into
// 3 x 3 stickers of colour c with black seams.
void Face(double ox, double oy, double ax, double ay, double bx, double by, uint8_t c) {
  for (double u = 0; u <= 1.0; u += 0.002) {
    for (double v = 0; v <= 1.0; v += 0.002) {
      const double fu = u * 3 - static_cast<int>(u * 3), fv = v * 3 - static_cast<int>(v * 3);
      const bool seam = fu < 0.08 || fu > 0.92 || fv < 0.08 || fv > 0.92;
      Plot(static_cast<int>(ox + u * ax + v * bx), static_cast<int>(oy + u * ay + v * by),
           seam ? 2 : c);
    }
  }
}

// 5 x 7 capitals, one string per row, '#' set.
struct Glyph {
  char letter;
  const char* rows[7];
};
const Glyph kGlyphs[] = {
    {'Q', {".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"}},
    {'U', {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'R', {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
};

void Text(const char* text, int x, int y, int scale, uint8_t c) {
  for (; *text; ++text, x += 6 * scale) {
    for (const Glyph& g : kGlyphs) {
      if (g.letter != *text) continue;
      for (int r = 0; r < 7; ++r)
        for (int k = 0; k < 5; ++k)
          if (g.rows[r][k] == '#') FillRect(x + k * scale, y + r * scale, scale, scale, c);
    }
  }
}

void Draw() {
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) Canvas[y][x] = ((x + y) / 8 + (x - y + 512) / 8) % 4 == 0;
  // A frame round the tile, so the repeats read as tiles.
  FillRect(0, 0, kWidth, 4, 13);
  FillRect(0, kHeight - 4, kWidth, 4, 13);
  FillRect(0, 0, 4, kHeight, 13);
  FillRect(kWidth - 4, 0, 4, kHeight, 13);
  // The cube, seen from above right: top, front and right faces.
  const double cx = 160, cy = 92, s = 58;
  Face(cx - s, cy - s * 0.5, s, -s * 0.5, s, s * 0.5, 4);       // top, red
  Face(cx - s, cy - s * 0.5, s, s * 0.5, 0, s * 1.1, 6);        // front, blue
  Face(cx, cy, s, -s * 0.5, 0, s * 1.1, 7);                     // right, yellow
  Text("QUARLO", 160 - 6 * 5 * 3 + 4, 193, 5, 12);              // shadow
  Text("QUARLO", 160 - 6 * 5 * 3 + 1, 190, 5, 11);
  FillRect(40, 236, 240, 3, 14);
}

// RLE4, bottom row first: runs of one colour (at most 255 pixels each),
// and a stretch of short runs in absolute mode.
std::vector<uint8_t> EncodeRle4() {
  std::vector<uint8_t> data;
  for (int row = kHeight - 1; row >= 0; --row) {
    const uint8_t* p = Canvas[row];
    int x = 0;
    while (x < kWidth) {
      int run = 1;
      while (x + run < kWidth && run < 255 && p[x + run] == p[x]) ++run;
      if (run >= 4) {
        data.push_back(static_cast<uint8_t>(run));
        data.push_back(static_cast<uint8_t>(p[x] << 4 | p[x]));
        x += run;
        continue;
      }
      // Gather short runs until the next long one (absolute mode needs 3+).
      int end = x;
      while (end < kWidth && end - x < 252) {
        int r = 1;
        while (end + r < kWidth && p[end + r] == p[end]) ++r;
        if (r >= 4) break;
        end += r;
      }
      int count = end - x;
      if (count < 3) {
        data.push_back(static_cast<uint8_t>(count));
        data.push_back(static_cast<uint8_t>(p[x] << 4 | (count > 1 ? p[x + 1] : 0)));
        x += count;
        continue;
      }
      data.push_back(0);
      data.push_back(static_cast<uint8_t>(count));
      const size_t start = data.size();
      for (int k = 0; k < count; k += 2)
        data.push_back(static_cast<uint8_t>(p[x + k] << 4 | (k + 1 < count ? p[x + k + 1] : 0)));
      if ((data.size() - start) & 1) data.push_back(0);
      x = end;
    }
    data.push_back(0);
    data.push_back(row == 0 ? 1 : 0);  // end of line, end of bitmap after the top row
  }
  return data;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make-logo OUT.bmp\n");
    return 2;
  }
  Draw();
  BmpFields logo;
  logo.width = kWidth;
  logo.height = kHeight;
  logo.bit_count = 4;
  logo.compression = 2;  // BI_RLE4
  logo.pixels = EncodeRle4();
  logo.size_image = static_cast<int32_t>(logo.pixels.size());
  logo.clr_used = logo.clr_important = 16;
  for (const auto& c : kPalette) logo.table.insert(logo.table.end(), {c[0], c[1], c[2], 0});
  if (!WriteFileBytes(argv[1], BmpFileBytes(logo))) {
    std::fprintf(stderr, "make-logo: cannot write %s\n", argv[1]);
    return 2;
  }
  return 0;
}
