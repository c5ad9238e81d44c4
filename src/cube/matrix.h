// Single-precision 4x4 matrices in OpenGL's column order, with the same
// products as glLoadMatrixf / glRotatef / glGetFloatv, so the cube model
// runs without a rendering context.
#pragma once

struct CubieMatrix {
  float m[16];  // column-major: m[column * 4 + row]
};

void SetIdentity(CubieMatrix* out);
// out = a x b (b applied first to a column vector).
void MultiplyMatrix(const CubieMatrix& a, const CubieMatrix& b, CubieMatrix* out);
// The rotation glRotatef(degrees, x, y, z) multiplies in.
void RotationMatrix(float degrees, float x, float y, float z, CubieMatrix* out);
