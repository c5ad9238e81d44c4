#include "render/rate_overlay.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "render/cubies.h"
#include "render/gl_compat.h"

int32_t RateOverlayShown = 0;

namespace {

// 5 x 7 glyphs, a row a byte, the leftmost pixel in bit 4.
struct Glyph {
  char c;
  uint8_t rows[7];
};
const Glyph kGlyphs[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}}, {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'%', {0x18, 0x19, 0x02, 0x04, 0x08, 0x13, 0x03}}, {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}}, {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}}, {'o', {0x00, 0x00, 0x0E, 0x11, 0x11, 0x11, 0x0E}},
    {'a', {0x00, 0x00, 0x0E, 0x01, 0x0F, 0x11, 0x0F}}, {'d', {0x01, 0x01, 0x0D, 0x13, 0x11, 0x11, 0x0F}},
    {'l', {0x0C, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'y', {0x00, 0x00, 0x11, 0x11, 0x0F, 0x01, 0x0E}},
    {'s', {0x00, 0x00, 0x0E, 0x10, 0x0E, 0x01, 0x1E}},
};
// A glyph's cell, in font pixels, and the text's size in cells.
enum { kCellWidth = 6, kCellHeight = 9, kLines = 3, kColumns = 12 };

char Text[kLines][kColumns + 1] = {"FPS:", "Load:", "Polys:"};
int32_t FramesCounted = 0;
std::chrono::steady_clock::time_point CountStart;
std::clock_t CpuStart = 0;
bool Counting = false;

// Font pixels are this many screen pixels: 3 on a 768-line screen.
int32_t Scale(int32_t height) { return height >= 512 ? height / 256 : 1; }

void Renew(double seconds) {
  const double cpu = double(std::clock() - CpuStart) / CLOCKS_PER_SEC;
  std::snprintf(Text[0], sizeof Text[0], "FPS:   %.1f", FramesCounted / seconds);
  std::snprintf(Text[1], sizeof Text[1], "Load:  %.1f%%", 100.0 * cpu / seconds);
  std::snprintf(Text[2], sizeof Text[2], "Polys: %d", int(FramePolygonCount()));
}

void DrawText(float x0, float y0, float s) {
  glBegin(GL_QUADS);
  for (int line = 0; line < kLines; ++line) {
    const float top = y0 + float((kLines - line) * kCellHeight - 1) * s;
    for (int column = 0; Text[line][column]; ++column) {
      for (const Glyph& g : kGlyphs) {
        if (g.c != Text[line][column]) continue;
        for (int row = 0; row < 7; ++row) {
          for (int bit = 0; bit < 5; ++bit) {
            if (!(g.rows[row] & (0x10 >> bit))) continue;
            const float x = x0 + float(column * kCellWidth + bit) * s, y = top - float(row + 1) * s;
            glVertex2f(x, y);
            glVertex2f(x + s, y);
            glVertex2f(x + s, y + s);
            glVertex2f(x, y + s);
          }
        }
      }
    }
  }
  glEnd();
}

}  // namespace

void CountShownFrame() {
  const auto now = std::chrono::steady_clock::now();
  if (!Counting) {
    Counting = true;
    CountStart = now;
    CpuStart = std::clock();
    FramesCounted = 0;
    return;
  }
  ++FramesCounted;
  const double seconds = std::chrono::duration<double>(now - CountStart).count();
  if (seconds < 1.0) return;
  Renew(seconds);
  CountStart = now;
  CpuStart = std::clock();
  FramesCounted = 0;
}

PixelRect RateOverlayRect(int32_t width, int32_t height) {
  const int32_t s = Scale(height), margin = 8 * s;
  const PixelRect r = {margin - s, margin - s, (kColumns * kCellWidth + 2) * s,
                       (kLines * kCellHeight + 2) * s};
  return PixelRect{r.x, r.y, r.x + r.width > width ? width - r.x : r.width,
                   r.y + r.height > height ? height - r.y : r.height};
}

void BeginPixelOverlay(int32_t width, int32_t height, uint32_t attributes) {
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | attributes);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_TEXTURE_2D);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, width, 0, height, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
}

void EndPixelOverlay() {
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();
}

void DrawRateOverlay(int32_t width, int32_t height) {
  const float s = float(Scale(height)), margin = 8 * s;
  BeginPixelOverlay(width, height, 0);
  const float shadow = s >= 2 ? float(int(s) / 2) : 1;
  glColor3f(0, 0, 0);  // a shadow, so that the text reads on any colour
  DrawText(margin + shadow, margin - shadow, s);
  glColor3f(1, 1, 1);
  DrawText(margin, margin, s);
  EndPixelOverlay();
}

const char* RateOverlayText() {
  static char all[kLines * (kColumns + 1)];
  std::snprintf(all, sizeof all, "%s\n%s\n%s", Text[0], Text[1], Text[2]);
  return all;
}
