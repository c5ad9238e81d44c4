#include "render/cubie_transform.h"

#include "cube/model.h"
#include "cube/show.h"
#include "settings/settings.h"

const int8_t kDrawnCubies[kDrawnCubieCount] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                               14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26};

namespace {
const float kCubieSpacing = 2.2f;
const float kExplodeScale = 0.35f;
const float kTiltDegrees = 20;

TransformStep Translate(float x, float y, float z) {
  return {TransformStep::kTranslate, 0, x, y, z, nullptr};
}
TransformStep Rotate(float degrees, float x, float y, float z) {
  return {TransformStep::kRotate, degrees, x, y, z, nullptr};
}
}  // namespace

void CubieHome(int i, float at[3]) {
  for (int axis = 0; axis < 3; ++axis) at[axis] = kCubieSpacing * static_cast<float>(SlotCoordinate(i, axis));
}

bool FrameExplodes() {
  return ShowState == SHOW_EXPLODE || ShowState == SHOW_SCRAMBLE || ShowState == SHOW_IMPLODE;
}

bool FrameUsesCubieMatrices() { return ShowState != SHOW_EXPLODE; }

void CameraSteps(TransformStep steps[kCameraSteps]) {
  steps[0] = Translate(0, 0, -1.0f * static_cast<float>(SaverSettings.Displacement));
  steps[1] = Rotate(kTiltDegrees, 1, 0, 0);
  steps[2] = Rotate(kTiltDegrees, 0, -1, 0);
}

int CubieSteps(int i, TransformStep steps[kMostCubieSteps]) {
  int count = 0;
  if (FrameExplodes()) {
    const int s = HomeTable[i];
    const float n = static_cast<float>(ShowCounter);
    steps[count++] = Translate(n * kExplodeScale * ExplodeX[s], n * kExplodeScale * ExplodeY[s],
                               n * kExplodeScale * ExplodeZ[s]);
    steps[count++] = Rotate(n * 2, 1, 0, 0);
    steps[count++] = Rotate(n * 2, 0, -1, 0);
  }
  if (FrameUsesCubieMatrices()) {
    steps[count++] = {TransformStep::kMultiply, 0, 0, 0, 0,
                      CurrentMove == 0 ? CommittedMatrix[i].m : AnimatedMatrix[i].m};
  }
  return count;
}
