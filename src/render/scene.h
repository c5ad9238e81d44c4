// The scene every picture of the show on Linux is drawn from, made once per
// context: the logo's texture, the GL state and the cubie lists, which take
// in the front-face pieces made before. The show starts apart from it.
#pragma once

#include <cstdint>

void BuildScene();
// The logo's texture alone, for a scene whose lists wait for its pictures.
void BuildSceneLogo();
// The show from the solved cube, its scrambles drawn from `seed`.
void StartShow(uint32_t seed);
