// The 26 cubie display lists (ids 1..27 without 14) and the texture objects
// they and the background use.
#pragma once

#include <cstdint>

#include "render/gl_compat.h"
#include "render/textures.h"

// Texture objects made at scene setup; 0 where no image was made.
extern GLuint FrontTextureName[kFrontPieces];
extern GLuint LogoTextureName;

// Seeds the show from the clock, enables depth test and culling, makes the
// texture objects, compiles the lists and resets the cube. Once per context.
void BuildCubieLists();
// Emits face 0..5 (right, front, top, left, bottom, back) into the list
// being compiled; any other code emits nothing.
void DrawCubieFace(int32_t face, int32_t piece, int32_t inside);
// The polygons a frame draws: the background and every face in the lists.
int32_t FramePolygonCount();
// Deletes the lists and texture objects (the context must be current).
void DeleteCubieLists();
