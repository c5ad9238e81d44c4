#include "render/frame.h"

#include <GL/glu.h>

#include "cube/model.h"
#include "render/cubie_transform.h"
#include "render/cubies.h"
#include "render/gl_compat.h"
#include "render/gl_context.h"
#include "render/textures.h"
#include "settings/settings.h"

namespace {

const float kQuadDepth = -49.9f;

struct QuadCorner {
  float x, y, s, t;
};
// 128 x 96 units, counterclockwise from the eye, the tile 4 times each way.
const QuadCorner kBackgroundQuad[4] = {
    {64, 48, 4, 4}, {-64, 48, 0, 4}, {-64, -48, 0, 0}, {64, -48, 4, 0}};

void DrawBackground() {
  glTranslatef(0, 0, kQuadDepth - static_cast<float>(SaverSettings.Displacement));
  // Without a logo image the quad is left out and the clear colour shows.
  if (!LogoTextureName) return;
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, LogoTextureName);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_FASTEST);
  glBegin(GL_POLYGON);
  glNormal3f(0, 0, 0);
  for (const QuadCorner& c : kBackgroundQuad) {
    glTexCoord2f(c.s, c.t);
    glVertex3f(c.x, c.y, 0);
  }
  glEnd();
  glDisable(GL_TEXTURE_2D);
}

void ApplySteps(const TransformStep* steps, int count) {
  for (int k = 0; k < count; ++k) {
    const TransformStep& step = steps[k];
    switch (step.kind) {
      case TransformStep::kTranslate: glTranslatef(step.x, step.y, step.z); break;
      case TransformStep::kRotate: glRotatef(step.degrees, step.x, step.y, step.z); break;
      case TransformStep::kMultiply: glMultMatrixf(step.matrix); break;
    }
  }
}

void DrawCubie(int i) {
  TransformStep steps[kMostCubieSteps];
  glPushMatrix();
  ApplySteps(steps, CubieSteps(i, steps));
  glCallList(static_cast<GLuint>(i + 1));
  glPopMatrix();
}

}  // namespace

void SetProjection(int32_t width, int32_t height) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  // A zero height would give no aspect; draw as if square.
  const double aspect = height > 0 ? static_cast<double>(width) / height : 1.0;
  gluPerspective(30, aspect, 20, SaverSettings.Displacement + 50.0);
  glViewport(0, 0, width, height);
}

void DrawFrame() {
  DrawFrameContents();
  SwapFrameBuffers();
}

void DrawFrameInRect(const PixelRect& rect, const PixelRect& clip) {
  SetProjection(rect.width, rect.height);
  glViewport(rect.x, rect.y, rect.width, rect.height);  // the view's own place in the drawable
  glEnable(GL_SCISSOR_TEST);  // the clear of the frame stays inside too
  glScissor(clip.x, clip.y, clip.width, clip.height);
  DrawFrameContents();
  glDisable(GL_SCISSOR_TEST);
}

void DrawFrameContents() {
  glClearColor(0, 0.5f, 0.5f, 1);
  glShadeModel(GL_FLAT);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  DrawBackground();

  glLoadIdentity();
  TransformStep camera[kCameraSteps];
  CameraSteps(camera);
  ApplySteps(camera, kCameraSteps);
  for (int i = 0; i < kCubies; ++i) {
    if (i != kHiddenCubie) DrawCubie(i);
  }
}
