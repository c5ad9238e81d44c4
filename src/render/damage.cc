#include "render/damage.h"

#include <cmath>

#include "cube/matrix.h"
#include "cube/model.h"
#include "render/cubie_transform.h"

namespace {

// Rounding between these sums and the rasteriser's is far below a pixel.
constexpr int32_t kMarginPixels = 2;

void MultiplySteps(const TransformStep* steps, int count, CubieMatrix* out) {
  CubieMatrix step;
  for (int k = 0; k < count; ++k) {
    const TransformStep& s = steps[k];
    if (s.kind == TransformStep::kMultiply) {
      for (int e = 0; e < 16; ++e) step.m[e] = s.matrix[e];
    } else if (s.kind == TransformStep::kRotate) {
      RotationMatrix(s.degrees, s.x, s.y, s.z, &step);
    } else {
      SetIdentity(&step);
      step.m[12] = s.x;
      step.m[13] = s.y;
      step.m[14] = s.z;
    }
    MultiplyMatrix(*out, step, out);
  }
}

// The model-view matrix DrawFrame sets for cubie i, without its list's own
// translation.
void CubieModelView(int i, CubieMatrix* out) {
  TransformStep camera[kCameraSteps], cubie[kMostCubieSteps];
  CameraSteps(camera);
  SetIdentity(out);
  MultiplySteps(camera, kCameraSteps, out);
  MultiplySteps(cubie, CubieSteps(i, cubie), out);
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

bool CubiePointInWindow(int cubie, const float point[3], int32_t width, int32_t height, double* x,
                        double* y) {
  CubieMatrix m;
  CubieModelView(cubie, &m);
  const float p[3] = {kCubieSpacing * static_cast<float>(SlotCoordinate(cubie, 0)) + point[0],
                      kCubieSpacing * static_cast<float>(SlotCoordinate(cubie, 1)) + point[1],
                      kCubieSpacing * static_cast<float>(SlotCoordinate(cubie, 2)) + point[2]};
  double eye[3];
  for (int row = 0; row < 3; ++row) {
    eye[row] = m.m[row] * p[0] + m.m[4 + row] * p[1] + m.m[8 + row] * p[2] + m.m[12 + row];
  }
  const double w = -eye[2];  // gluPerspective(30, aspect, ...): w is the distance ahead
  if (w <= 1e-3) return false;
  const double aspect = height > 0 ? static_cast<double>(width) / height : 1.0;
  const double f = 1.0 / std::tan(15.0 * 3.14159265358979323846 / 180.0);
  *x = (f / aspect * eye[0] / w + 1) * 0.5 * width;
  *y = (f * eye[1] / w + 1) * 0.5 * height;
  return true;
}

PixelRect CubeScreenRect(int32_t width, int32_t height) {
  double left = 1e30, right = -1e30, bottom = 1e30, top = -1e30;
  for (int i = 0; i < kCubies; ++i) {
    if (i == kHiddenCubie) continue;
    for (int corner = 0; corner < 8; ++corner) {
      const float p[3] = {corner & 1 ? 1.f : -1.f, corner & 2 ? 1.f : -1.f, corner & 4 ? 1.f : -1.f};
      double x = 0, y = 0;
      if (!CubiePointInWindow(i, p, width, height, &x, &y)) return PixelRect{0, 0, width, height};
      left = x < left ? x : left;
      right = x > right ? x : right;
      bottom = y < bottom ? y : bottom;
      top = y > top ? y : top;
    }
  }
  const auto clamp = [](double v, int32_t limit) { return v < 0 ? 0 : v > limit ? limit : int32_t(v); };
  const int32_t x0 = clamp(std::floor(left) - kMarginPixels, width), y0 = clamp(std::floor(bottom) - kMarginPixels, height);
  const int32_t x1 = clamp(std::ceil(right) + kMarginPixels, width), y1 = clamp(std::ceil(top) + kMarginPixels, height);
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
