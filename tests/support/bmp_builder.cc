#include "bmp_builder.h"

#include <cstdlib>

std::vector<uint8_t> BuildPicture(int w, int h, const std::function<uint32_t(int, int)>& colour) {
  BmpFields s;
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
  return BmpFileBytes(s);
}

std::string WriteTempFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  const char* dir = std::getenv("TEST_TMPDIR");
  if (!dir) dir = std::getenv("TMPDIR");
  if (!dir) dir = std::getenv("TEMP");
  const std::string path = std::string(dir ? dir : "/tmp") + "/" + name;
  WriteFileBytes(path, bytes);
  return path;
}
