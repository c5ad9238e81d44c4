// Windows bitmap files written field by field: the logo tile, the picture
// corpus, and the tests' odd and broken files that real programs rarely
// write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct BmpFields {
  bool file_header = true;
  uint32_t header_size = 40;  // 12 writes a core header; past 40, zeros
  int32_t width = 1, height = 1;
  uint16_t planes = 1, bit_count = 24;
  uint32_t compression = 0;
  int32_t size_image = 0;
  uint32_t clr_used = 0, clr_important = 0;
  std::vector<uint8_t> table;   // masks and colours, written as given after the header
  std::vector<uint8_t> pixels;  // written as given, after the table
  uint32_t extra_gap = 0;       // bytes between table and pixels (bfOffBits counts them)
};

std::vector<uint8_t> BmpFileBytes(const BmpFields& fields);

// Writes the bytes as the whole file; false when that failed.
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes);
