// The 26 cubie display lists (ids 1..27 without 14) and the texture objects
// they and the background use.
#pragma once

#include <cstdint>

#include "render/gl_compat.h"
#include "render/textures.h"

// Texture objects made at scene setup; 0 where no image was made.
extern GLuint FrontTextureName[kFrontPieces];
extern GLuint LogoTextureName;

// Enables depth test and culling, makes the texture objects and compiles
// the lists. Once per context.
void CompileCubieLists();
// The Windows saver's scene step: seeds the show from the clock, compiles
// the lists and resets the cube.
void BuildCubieLists();
// Turns on the texture `name` as the front faces and the background show
// their pictures: replacing the colour (GL_DECAL), at the fastest quality.
void UseDecalTexture(GLuint name);
// Emits face 0..5 (right, front, top, left, bottom, back) into the list
// being compiled; any other code emits nothing.
void DrawCubieFace(int32_t face, int32_t piece, int32_t inside);
// The polygons a frame draws: the background and every face in the lists.
int32_t FramePolygonCount();
// Deletes the lists and texture objects (the context must be current).
void DeleteCubieLists();
