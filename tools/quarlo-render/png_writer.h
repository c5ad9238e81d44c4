#pragma once

#include <cstdint>

// Writes rows of red, green, blue, alpha (top row first) as a PNG. The file
// appears only when complete: it is written beside the target and renamed.
bool WritePng(const char* path, int32_t width, int32_t height, const uint8_t* rgba);
