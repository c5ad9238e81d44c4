#include "render/frame.h"

#include <GL/glu.h>

#include "cube/model.h"
#include "render/cubie_transform.h"
#include "render/cubies.h"
#include "render/gl_compat.h"
#include "render/projection.h"
#include "render/textures.h"
#include "settings/settings.h"

namespace {


struct QuadCorner {
  float x, y, s, t;
};
// 128 x 96 units, counterclockwise from the eye, the tile 4 times each way.
const QuadCorner kBackgroundQuad[4] = {
    {64, 48, 4, 4}, {-64, 48, 0, 4}, {-64, -48, 0, 0}, {64, -48, 4, 0}};

void DrawBackground() {
  glTranslatef(0, 0, -kBackgroundBeyondCube - static_cast<float>(SaverSettings.Displacement));
  // Without a logo image the quad is left out and the clear colour shows.
  if (!LogoTextureName) return;
  UseDecalTexture(LogoTextureName);
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

ShowPerspective PerspectiveFor(int32_t width, int32_t height) {
  return ShowPerspective{30, height > 0 ? static_cast<double>(width) / height : 1.0, 20,
                         SaverSettings.Displacement + 50.0};
}

void SetProjection(int32_t width, int32_t height) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  const ShowPerspective p = PerspectiveFor(width, height);
  gluPerspective(p.fov_y_degrees, p.aspect, p.near_z, p.far_z);
  glViewport(0, 0, width, height);
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
  for (int8_t i : kDrawnCubies) DrawCubie(i);
}
