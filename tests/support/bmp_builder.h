// Bitmap files for tests, written with the tools' writer (bmp_file.h), so a
// test can also make the odd or broken files that real programs rarely write.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "bmp_file.h"

// A w x h file, 24 bits bottom-up, whose pixel at (x, y counted from the
// top) has the colour 0xRRGGBB that `colour` gives.
std::vector<uint8_t> BuildPicture(int w, int h, const std::function<uint32_t(int, int)>& colour);
// Writes bytes to a file in the test's temporary directory; returns its path.
std::string WriteTempFile(const std::string& name, const std::vector<uint8_t>& bytes);
