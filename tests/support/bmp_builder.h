// Builds .bmp file bytes for tests, field by field, so a test can make the
// odd or broken files that real programs rarely write.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct BmpSpec {
  bool file_header = true;
  uint32_t header_size = 40;  // 12 writes a core header
  int32_t width = 1, height = 1;
  uint16_t planes = 1, bit_count = 24;
  uint32_t compression = 0;
  int32_t size_image = 0;
  uint32_t clr_used = 0;
  std::vector<uint8_t> table;   // written as given, after the header
  std::vector<uint8_t> pixels;  // written as given, after the table
  uint32_t extra_gap = 0;       // bytes between table and pixels (bfOffBits counts them)
};

std::vector<uint8_t> BuildBmp(const BmpSpec& spec);

// A w x h file, 24 bits bottom-up, whose pixel at (x, y counted from the
// top) has the colour 0xRRGGBB that `colour` gives.
std::vector<uint8_t> BuildPicture(int w, int h, const std::function<uint32_t(int, int)>& colour);
// Writes bytes to a file in the test's temporary directory; returns its path.
std::string WriteTempFile(const std::string& name, const std::vector<uint8_t>& bytes);
