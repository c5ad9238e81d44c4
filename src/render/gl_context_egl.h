// A headless OpenGL context: EGL on Mesa's surfaceless platform with a
// pbuffer of the given size, so frames can be drawn without a display.
#pragma once

#include <cstdint>

// Makes the context current on this thread; false when EGL can't give one.
bool CreateHeadlessContext(int32_t width, int32_t height);
void DestroyHeadlessContext();
// Reads the drawn frame as red, green, blue, alpha rows, top row first.
void ReadFramePixels(uint8_t* rgba);
