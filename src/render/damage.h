// Where a frame differs from the one before: the background never changes
// and a cubie that didn't move is drawn where it was, so only the places of
// the cubies that moved (where they were and where they are) do. Pure
// arithmetic on the model, the show and the one perspective, so it is
// tested without a context.
#pragma once

#include <cstdint>

#include "cube/model.h"
#include "render/pixel_rect.h"

// Each drawn cubie's model-view for the frame about to be drawn, worked out
// once for all its views, and which cubies moved since the frame before.
void MeasureCubies();

// Where a point of cubie i's own cube (its centre at 0, its corners at +-1)
// lands in a width x height view as the measured frame draws it, in window
// pixels from the bottom left; false when it lies behind the eye.
bool CubiePointInWindow(int cubie, const float point[3], int32_t width, int32_t height, double* x,
                        double* y);

// One view's memory of its frames: its rectangle in the drawable, each
// cubie's rectangle in its last frame, and what changed in its last frames.
enum { kRememberedFrames = 4 };
struct ViewDamage {
  PixelRect rect;
  PixelRect cubies[kCubies];
  PixelRect changed[kRememberedFrames];  // newest first
  int32_t count;  // frames remembered; 0: none, so the next is drawn whole
};

// What must be drawn in the view `rect` (drawable pixels) over a back buffer
// that holds the frame `age` frames back (0: its contents are unknown; a
// view whose rectangle changed is drawn whole) to give the measured frame,
// in which `extra` (view pixels) changes too; this frame is remembered.
PixelRect DamageForView(ViewDamage* view, const PixelRect& rect, int32_t age, const PixelRect& extra);
