// The model-view steps that place each cubie in a frame, written once: the
// drawing applies them with OpenGL's matrix calls, and the damage
// arithmetic multiplies the same steps out, so the two can't drift apart.
#pragma once

#include <cstdint>

// One step: a translation, a rotation as glRotatef takes it, or a matrix.
struct TransformStep {
  enum Kind { kTranslate, kRotate, kMultiply } kind;
  float degrees, x, y, z;  // kTranslate: x, y, z; kRotate: degrees about (x, y, z)
  const float* matrix;     // kMultiply: 16 floats in OpenGL's column order
};

enum { kCameraSteps = 3, kMostCubieSteps = 4, kDrawnCubieCount = 26 };

// Every cubie but the hidden centre, which is never drawn.
extern const int8_t kDrawnCubies[kDrawnCubieCount];
// Where cubie i stands in the solved cube, in the cube's frame: 2.2 times
// its slot's position.
void CubieHome(int i, float at[3]);

// The camera: the cube moved Displacement away from the eye and tilted.
void CameraSteps(TransformStep steps[kCameraSteps]);
// What then places cubie i in this frame (the fly-apart offset and spin,
// its turn); the count of steps.
int CubieSteps(int i, TransformStep steps[kMostCubieSteps]);

// Whether the show's state flies the cubies apart in this frame, and
// whether it turns them by their matrices.
bool FrameExplodes();
bool FrameUsesCubieMatrices();
