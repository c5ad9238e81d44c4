#include "cube/matrix.h"

#include <cmath>

void SetIdentity(CubieMatrix* out) {
  for (int i = 0; i < 16; ++i) out->m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void MultiplyMatrix(const CubieMatrix& a, const CubieMatrix& b, CubieMatrix* out) {
  CubieMatrix r;
  for (int col = 0; col < 4; ++col) {
    for (int row = 0; row < 4; ++row) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += a.m[k * 4 + row] * b.m[col * 4 + k];
      r.m[col * 4 + row] = sum;
    }
  }
  *out = r;
}

void RotationMatrix(float degrees, float x, float y, float z, CubieMatrix* out) {
  SetIdentity(out);
  const float length = std::sqrt(x * x + y * y + z * z);
  if (length == 0.0f) return;  // glRotatef leaves the matrix alone then
  x /= length;
  y /= length;
  z /= length;
  const double radians = degrees * 3.14159265358979323846 / 180.0;
  const float s = static_cast<float>(std::sin(radians));
  const float c = static_cast<float>(std::cos(radians));
  const float t = 1.0f - c;
  // R = (1 - c) v v^T + c I + s [v]x, stored column by column.
  float* m = out->m;
  m[0] = t * x * x + c;
  m[1] = t * x * y + s * z;
  m[2] = t * x * z - s * y;
  m[4] = t * x * y - s * z;
  m[5] = t * y * y + c;
  m[6] = t * y * z + s * x;
  m[8] = t * x * z + s * y;
  m[9] = t * y * z - s * x;
  m[10] = t * z * z + c;
}
