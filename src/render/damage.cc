#include "render/damage.h"

#include <cmath>

#include "cube/matrix.h"
#include "cube/model.h"
#include "cube/show.h"
#include "render/frame.h"
#include "settings/settings.h"

namespace {

// Rounding between these sums and the rasteriser's is far below a pixel.
constexpr int32_t kMarginPixels = 2;
constexpr float kCubieSpacing = 2.2f;
constexpr float kExplodeScale = 0.35f;

void Translation(float x, float y, float z, CubieMatrix* out) {
  SetIdentity(out);
  out->m[12] = x;
  out->m[13] = y;
  out->m[14] = z;
}

// The model-view matrix DrawFrame sets for cubie i, without its list's own
// translation.
void CubieModelView(int i, CubieMatrix* out) {
  CubieMatrix step;
  Translation(0, 0, -1.0f * static_cast<float>(SaverSettings.Displacement), out);
  RotationMatrix(20, 1, 0, 0, &step);
  MultiplyMatrix(*out, step, out);
  RotationMatrix(20, 0, -1, 0, &step);
  MultiplyMatrix(*out, step, out);
  if (FrameExplodes()) {
    const int s = HomeTable[i];
    const float n = static_cast<float>(ShowCounter);
    Translation(n * kExplodeScale * ExplodeX[s], n * kExplodeScale * ExplodeY[s],
                n * kExplodeScale * ExplodeZ[s], &step);
    MultiplyMatrix(*out, step, out);
    RotationMatrix(n * 2, 1, 0, 0, &step);
    MultiplyMatrix(*out, step, out);
    RotationMatrix(n * 2, 0, -1, 0, &step);
    MultiplyMatrix(*out, step, out);
  }
  if (FrameUsesCubieMatrices()) {
    MultiplyMatrix(*out, CurrentMove == 0 ? CommittedMatrix[i] : AnimatedMatrix[i], out);
  }
}

}  // namespace

bool IsEmptyRect(const PixelRect& r) { return r.width <= 0 || r.height <= 0; }

PixelRect UnionRect(const PixelRect& a, const PixelRect& b) {
  if (IsEmptyRect(a)) return b;
  if (IsEmptyRect(b)) return a;
  const int32_t left = a.x < b.x ? a.x : b.x;
  const int32_t bottom = a.y < b.y ? a.y : b.y;
  const int32_t right = a.x + a.width > b.x + b.width ? a.x + a.width : b.x + b.width;
  const int32_t top = a.y + a.height > b.y + b.height ? a.y + a.height : b.y + b.height;
  return PixelRect{left, bottom, right - left, top - bottom};
}

PixelRect CubeScreenRect(int32_t width, int32_t height) {
  const PixelRect whole{0, 0, width, height};
  // gluPerspective(30, aspect, 20, far): x and y scale; w = -z in the eye.
  const double aspect = height > 0 ? static_cast<double>(width) / height : 1.0;
  const double f = 1.0 / std::tan(15.0 * 3.14159265358979323846 / 180.0);
  double left = 1e30, right = -1e30, bottom = 1e30, top = -1e30;
  for (int i = 0; i < kCubies; ++i) {
    if (i == kHiddenCubie) continue;
    CubieMatrix m;
    CubieModelView(i, &m);
    for (int corner = 0; corner < 8; ++corner) {
      const float p[3] = {kCubieSpacing * static_cast<float>(SlotCoordinate(i, 0)) + (corner & 1 ? 1 : -1),
                          kCubieSpacing * static_cast<float>(SlotCoordinate(i, 1)) + (corner & 2 ? 1 : -1),
                          kCubieSpacing * static_cast<float>(SlotCoordinate(i, 2)) + (corner & 4 ? 1 : -1)};
      double eye[3];
      for (int row = 0; row < 3; ++row) {
        eye[row] = m.m[row] * p[0] + m.m[4 + row] * p[1] + m.m[8 + row] * p[2] + m.m[12 + row];
      }
      const double w = -eye[2];
      if (w <= 1e-3) return whole;  // behind the eye: no finite picture of it
      const double x = (f / aspect * eye[0] / w + 1) * 0.5 * width;
      const double y = (f * eye[1] / w + 1) * 0.5 * height;
      left = x < left ? x : left;
      right = x > right ? x : right;
      bottom = y < bottom ? y : bottom;
      top = y > top ? y : top;
    }
  }
  const double clamp_left = std::floor(left) - kMarginPixels, clamp_bottom = std::floor(bottom) - kMarginPixels;
  const double clamp_right = std::ceil(right) + kMarginPixels, clamp_top = std::ceil(top) + kMarginPixels;
  const int32_t x0 = clamp_left < 0 ? 0 : clamp_left > width ? width : int32_t(clamp_left);
  const int32_t y0 = clamp_bottom < 0 ? 0 : clamp_bottom > height ? height : int32_t(clamp_bottom);
  const int32_t x1 = clamp_right < 0 ? 0 : clamp_right > width ? width : int32_t(clamp_right);
  const int32_t y1 = clamp_top < 0 ? 0 : clamp_top > height ? height : int32_t(clamp_top);
  return PixelRect{x0, y0, x1 - x0, y1 - y0};
}

void RememberCubeRect(DamageHistory* history, const PixelRect& cube) {
  for (int k = kRememberedFrames - 1; k > 0; --k) history->cube[k] = history->cube[k - 1];
  history->cube[0] = cube;
  if (history->count < kRememberedFrames) ++history->count;
}

PixelRect DamageSince(const DamageHistory& history, int32_t age, const PixelRect& cube,
                      const PixelRect& whole) {
  if (age <= 0 || age > history.count) return whole;
  PixelRect damage = cube;
  for (int k = 0; k < age; ++k) damage = UnionRect(damage, history.cube[k]);
  return damage;
}
