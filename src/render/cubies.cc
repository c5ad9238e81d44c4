#include "render/cubies.h"

#include <ctime>

#include "cube/model.h"
#include "cube/show.h"
#include "render/cubie_transform.h"
#include "render/face_colours.h"
#include "render/textures.h"
#include "settings/settings.h"

GLuint FrontTextureName[kFrontPieces] = {};
GLuint LogoTextureName = 0;

namespace {

struct FaceShape {
  float normal[3];
  float vertex[4][3];
};

// Counterclockwise seen from outside the cubie, so culling drops back faces.
const FaceShape kFaceShapes[kFaces] = {
    {{1, 0, 0}, {{1, 1, 1}, {1, -1, 1}, {1, -1, -1}, {1, 1, -1}}},
    {{0, 0, 1}, {{1, 1, 1}, {-1, 1, 1}, {-1, -1, 1}, {1, -1, 1}}},
    {{0, 1, 0}, {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}}},
    {{-1, 0, 0}, {{-1, 1, 1}, {-1, 1, -1}, {-1, -1, -1}, {-1, -1, 1}}},
    {{0, -1, 0}, {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}}},
    {{0, 0, -1}, {{1, 1, -1}, {1, -1, -1}, {-1, -1, -1}, {-1, 1, -1}}},
};
const float kFrontTexCoords[4][2] = {{1, 1}, {0, 1}, {0, 0}, {1, 0}};
const float kInsideColor[3] = {0.15f, 0.15f, 0.15f};

// The faces of each cubie, outside ones first, in the order they are drawn.
struct CubieFaces {
  int8_t outside[3];
  int8_t inside[5];
};
const int8_t L = FACE_LEFT, R = FACE_RIGHT, T = FACE_TOP, B = FACE_BOTTOM, F = FACE_FRONT,
             K = FACE_BACK, N = -1;
const CubieFaces kCubieFaces[kCubies] = {
    {{F, L, T}, {R, B, K, N, N}}, {{F, T, N}, {L, R, B, K, N}}, {{F, R, T}, {L, B, K, N, N}},
    {{F, L, N}, {R, T, B, K, N}}, {{F, N, N}, {L, R, T, B, K}}, {{F, R, N}, {L, T, B, K, N}},
    {{F, L, B}, {R, T, K, N, N}}, {{F, B, N}, {L, R, T, K, N}}, {{F, B, R}, {L, T, K, N, N}},
    {{L, T, N}, {F, B, R, K, N}}, {{T, N, N}, {L, F, B, R, K}}, {{T, R, N}, {L, F, B, K, N}},
    {{L, N, N}, {T, R, F, B, K}}, {{N, N, N}, {N, N, N, N, N}}, {{R, N, N}, {L, T, F, B, K}},
    {{L, B, N}, {T, R, F, K, N}}, {{B, N, N}, {L, T, R, F, K}}, {{B, R, N}, {L, T, F, K, N}},
    {{L, T, K}, {F, B, R, N, N}}, {{T, K, N}, {L, F, B, R, N}}, {{T, K, R}, {L, F, B, N, N}},
    {{K, L, N}, {R, T, F, B, N}}, {{K, N, N}, {L, R, T, F, B}}, {{K, R, N}, {L, T, F, B, N}},
    {{K, L, B}, {R, T, F, N, N}}, {{K, B, N}, {L, R, T, F, N}}, {{K, B, R}, {L, T, F, N, N}},
};

GLuint MakeTextureObject(const uint8_t* bits, int32_t size) {
  if (!bits || size <= 0) return 0;
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  // The images carry 255 in their fourth byte, so under GL_DECAL they show opaque.
  glTexImage2D(GL_TEXTURE_2D, 0, 4, size, size, 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE, bits);
  glBindTexture(GL_TEXTURE_2D, 0);
  return name;
}

// The face's colour (none for a picture) goes with its vertices, inside
// glBegin and glEnd: set between the polygons instead, each colour would be
// a state change of its own that the GL must carry to every draw of the list.
void EmitPolygon(const FaceShape& shape, const float* color, bool textured) {
  glBegin(GL_POLYGON);
  if (color) glColor3f(color[0], color[1], color[2]);
  glNormal3f(shape.normal[0], shape.normal[1], shape.normal[2]);
  for (int v = 0; v < 4; ++v) {
    if (textured) glTexCoord2f(kFrontTexCoords[v][0], kFrontTexCoords[v][1]);
    glVertex3f(shape.vertex[v][0], shape.vertex[v][1], shape.vertex[v][2]);
  }
  glEnd();
}

}  // namespace

void UseDecalTexture(GLuint name) {
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
}

void DrawCubieFace(int32_t face, int32_t piece, int32_t inside) {
  if (face < 0 || face >= kFaces) return;
  const FaceShape& shape = kFaceShapes[face];
  const float* color = inside ? kInsideColor : kFaceColours[face];
  if (face != FACE_FRONT) {
    EmitPolygon(shape, color, false);
    return;
  }
  const bool surface = SaverSettings.Surface != 0;
  // A piece without an image keeps the plain colour rather than whatever
  // colour happens to be current.
  const GLuint texture = piece >= 0 && piece < kFrontPieces ? FrontTextureName[piece] : 0;
  const bool picture = surface && !inside && texture;
  if (picture) UseDecalTexture(texture);
  EmitPolygon(shape, picture ? nullptr : color, true);
  if (surface) glDisable(GL_TEXTURE_2D);
}

void BuildCubieLists() {
  SeedShowRandom(static_cast<uint32_t>(std::time(nullptr)));
  CompileCubieLists();
  ResetCube();
}

void CompileCubieLists() {
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_CULL_FACE);
  LogoTextureName = MakeTextureObject(LogoBits, LogoTextureSize);
  for (int p = 0; p < kFrontPieces; ++p) {
    FrontTextureName[p] =
        SaverSettings.Surface ? MakeTextureObject(FrontPieceBits[p], FrontTextureSize) : 0;
  }
  for (int8_t i : kDrawnCubies) {
    glNewList(static_cast<GLuint>(i + 1), GL_COMPILE);
    float home[3];
    CubieHome(i, home);
    glTranslatef(home[0], home[1], home[2]);
    for (int8_t face : kCubieFaces[i].outside) {
      if (face >= 0) DrawCubieFace(face, face == FACE_FRONT ? i : 0, 0);
    }
    for (int8_t face : kCubieFaces[i].inside) {
      if (face >= 0) DrawCubieFace(face, 0, 1);
    }
    glEndList();
  }
}

int32_t FramePolygonCount() {
  int32_t count = 1;
  for (const CubieFaces& faces : kCubieFaces) {
    for (int8_t face : faces.outside) count += face >= 0;
    for (int8_t face : faces.inside) count += face >= 0;
  }
  return count;
}

void DeleteCubieLists() {
  glDeleteLists(1, kCubies);
  glDeleteTextures(kFrontPieces, FrontTextureName);
  glDeleteTextures(1, &LogoTextureName);
  for (GLuint& name : FrontTextureName) name = 0;
  LogoTextureName = 0;
}
