// Where a frame differs from the one before: the background never changes,
// so only the cube's part of the window does. Pure arithmetic on the model,
// the show and the projection, so it is tested without a context.
#pragma once

#include <cstdint>

// Window pixels, counted from the bottom left as glScissor counts them.
struct PixelRect {
  int32_t x, y, width, height;
};

bool IsEmptyRect(const PixelRect& r);
PixelRect UnionRect(const PixelRect& a, const PixelRect& b);

// Where a point of cubie i's own cube (its centre at 0, its corners at +-1)
// lands in a width x height view as this frame draws it, in window pixels
// from the bottom left; false when it lies behind the eye.
bool CubiePointInWindow(int cubie, const float point[3], int32_t width, int32_t height, double* x,
                        double* y);

// Where the cubies of this frame can touch pixels in a width x height view:
// their corners as the frame draws them, projected, with a margin for
// rounding; the whole view when one reaches behind the eye.
PixelRect CubeScreenRect(int32_t width, int32_t height);

// The cube's rectangles of the last frames, newest first.
enum { kRememberedFrames = 4 };
struct DamageHistory {
  PixelRect cube[kRememberedFrames];
  int32_t count;  // 0: nothing drawn yet, or the frame must be drawn whole
};
void RememberCubeRect(DamageHistory* history, const PixelRect& cube);

// What must be drawn again over a back buffer that holds the frame `age`
// frames back (0: its contents are unknown) to give this frame, whose cube
// lies in `cube`: the cube's rectangles since then, or the whole view.
PixelRect DamageSince(const DamageHistory& history, int32_t age, const PixelRect& cube,
                      const PixelRect& whole);
