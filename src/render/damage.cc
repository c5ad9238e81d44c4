#include "render/damage.h"

#include <cmath>

#include "cube/matrix.h"
#include "render/cubie_transform.h"
#include "render/projection.h"

namespace {

// Rounding between these sums and the rasteriser's is far below a pixel.
constexpr int32_t kMarginPixels = 2;

CubieMatrix ModelView[kCubies];   // of the measured frame, with the cubie's home
CubieMatrix LastModelView[kCubies];
bool Moved[kCubies];

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

bool SameMatrix(const CubieMatrix& a, const CubieMatrix& b) {
  for (int e = 0; e < 16; ++e) {
    if (a.m[e] != b.m[e]) return false;
  }
  return true;
}

// Where cubie i can touch pixels in a width x height view: its corners,
// projected, with a margin; the whole view when one lies behind the eye.
PixelRect CubieRect(int i, int32_t width, int32_t height) {
  double left = 1e30, right = -1e30, bottom = 1e30, top = -1e30;
  for (int corner = 0; corner < 8; ++corner) {
    const float p[3] = {corner & 1 ? 1.f : -1.f, corner & 2 ? 1.f : -1.f, corner & 4 ? 1.f : -1.f};
    double x = 0, y = 0;
    if (!CubiePointInWindow(i, p, width, height, &x, &y)) return PixelRect{0, 0, width, height};
    left = x < left ? x : left;
    right = x > right ? x : right;
    bottom = y < bottom ? y : bottom;
    top = y > top ? y : top;
  }
  const auto clamp = [](double v, int32_t limit) { return v < 0 ? 0 : v > limit ? limit : int32_t(v); };
  const int32_t x0 = clamp(std::floor(left) - kMarginPixels, width);
  const int32_t y0 = clamp(std::floor(bottom) - kMarginPixels, height);
  const int32_t x1 = clamp(std::ceil(right) + kMarginPixels, width);
  const int32_t y1 = clamp(std::ceil(top) + kMarginPixels, height);
  return PixelRect{x0, y0, x1 - x0, y1 - y0};
}

PixelRect Shifted(PixelRect r, const PixelRect& by) {
  if (IsEmptyRect(r)) return PixelRect{};
  r.x += by.x;
  r.y += by.y;
  return r;
}

}  // namespace

void MeasureCubies() {
  TransformStep camera[kCameraSteps], cubie[kMostCubieSteps];
  CameraSteps(camera);
  for (int8_t i : kDrawnCubies) {
    LastModelView[i] = ModelView[i];
    SetIdentity(&ModelView[i]);
    MultiplySteps(camera, kCameraSteps, &ModelView[i]);
    MultiplySteps(cubie, CubieSteps(i, cubie), &ModelView[i]);
    float home[3];
    CubieHome(i, home);
    const TransformStep to_home = {TransformStep::kTranslate, 0, home[0], home[1], home[2], nullptr};
    MultiplySteps(&to_home, 1, &ModelView[i]);
    Moved[i] = !SameMatrix(ModelView[i], LastModelView[i]);
  }
}

bool CubiePointInWindow(int cubie, const float point[3], int32_t width, int32_t height, double* x,
                        double* y) {
  const CubieMatrix& m = ModelView[cubie];
  double eye[3];
  for (int row = 0; row < 3; ++row) {
    eye[row] = m.m[row] * point[0] + m.m[4 + row] * point[1] + m.m[8 + row] * point[2] + m.m[12 + row];
  }
  const double w = -eye[2];  // the eye looks down -z: w is the distance ahead
  if (w <= 1e-3) return false;
  const ShowPerspective p = PerspectiveFor(width, height);
  const double f = 1.0 / std::tan(p.fov_y_degrees / 2 * 3.14159265358979323846 / 180.0);
  *x = (f / p.aspect * eye[0] / w + 1) * 0.5 * width;
  *y = (f * eye[1] / w + 1) * 0.5 * height;
  return true;
}

PixelRect DamageForView(ViewDamage* view, const PixelRect& rect, int32_t age, const PixelRect& extra) {
  const PixelRect& was = view->rect;
  if (rect.x != was.x || rect.y != was.y || rect.width != was.width || rect.height != was.height) {
    view->rect = rect;
    view->count = 0;
  }
  const bool whole = view->count == 0 || age <= 0 || age - 1 > view->count;
  PixelRect changed = Shifted(extra, rect);
  for (int8_t i : kDrawnCubies) {
    if (!Moved[i] && view->count > 0) continue;
    const PixelRect now = Shifted(CubieRect(i, rect.width, rect.height), rect);
    changed = UnionRect(changed, UnionRect(view->cubies[i], now));
    view->cubies[i] = now;
  }
  if (whole) changed = rect;
  PixelRect damage = changed;
  for (int k = 0; !whole && k < age - 1; ++k) damage = UnionRect(damage, view->changed[k]);
  for (int k = kRememberedFrames - 1; k > 0; --k) view->changed[k] = view->changed[k - 1];
  view->changed[0] = changed;
  if (view->count < kRememberedFrames) ++view->count;
  return damage;
}
