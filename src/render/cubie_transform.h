// The model-view steps that place each cubie in a frame, written once: the
// drawing applies them with OpenGL's matrix calls, and the damage
// arithmetic multiplies the same steps out, so the two can't drift apart.
#pragma once

// One step: a translation, a rotation as glRotatef takes it, or a matrix.
struct TransformStep {
  enum Kind { kTranslate, kRotate, kMultiply } kind;
  float degrees, x, y, z;  // kTranslate: x, y, z; kRotate: degrees about (x, y, z)
  const float* matrix;     // kMultiply: 16 floats in OpenGL's column order
};

enum { kCameraSteps = 3, kMostCubieSteps = 4 };
// Each cubie's list draws it at this many times its slot position.
constexpr float kCubieSpacing = 2.2f;

// The camera: the cube moved Displacement away from the eye and tilted.
void CameraSteps(TransformStep steps[kCameraSteps]);
// What then places cubie i in this frame (the fly-apart offset and spin,
// its turn); the count of steps.
int CubieSteps(int i, TransformStep steps[kMostCubieSteps]);

// Whether the show's state flies the cubies apart in this frame, and
// whether it turns them by their matrices.
bool FrameExplodes();
bool FrameUsesCubieMatrices();
