// The lock screen's indicator over the show: whose session it is, a mark
// per character typed, and Caps Lock, "Checking..." or "Wrong password".
// Its words are set with Pango and Cairo once, when the scene is made (at
// twice the size, so that they read on a scale-2 output too), and drawn as
// textures after that: nothing is set or allocated while the show runs.
#pragma once

#include <cstdint>

#include "render/pixel_rect.h"

// With the context current; false when the text can't be set (the
// indicator is then left out).
bool MakeLockIndicator(const char* user);
void DropLockIndicator();
// Where it lies in a view of width x height at `scale` (view pixels).
PixelRect LockIndicatorRect(int32_t width, int32_t height, int32_t scale);
// Draws it over the view whose viewport is set, as SaverLockShown says.
void DrawLockIndicator(int32_t width, int32_t height, int32_t scale);
