#include "render/scene.h"

#include "cube/model.h"
#include "cube/show.h"
#include "render/bitmap.h"
#include "render/cubies.h"
#include "render/logo.h"
#include "render/textures.h"

void BuildSceneLogo() {
  PendingBitmap = LoadLogoBitmap();
  if (PendingBitmap) MakeLogoTexture();
}

void BuildScene() {
  BuildSceneLogo();
  CompileCubieLists();
}

void StartShow(uint32_t seed) {
  SeedShowRandom(seed);
  ResetCube();
}
