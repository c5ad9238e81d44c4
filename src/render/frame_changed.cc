// Frames drawn only where they change. The background is the same in every
// frame, so outside the cube's rectangles of this frame and the frames the
// back buffer is behind, the pixels there already are this frame's; inside
// them the frame is drawn as DrawFrame draws it, cut by the scissor.
#include "render/damage.h"
#include "render/frame.h"
#include "render/gl_compat.h"
#include "render/gl_context.h"

namespace {
DamageHistory History = {};
}

void RedrawWholeFrame() { History.count = 0; }

void DrawChangedFrame() {
  const PixelRect whole{0, 0, ClientWidth, ClientHeight};
  const PixelRect cube = CubeScreenRect(ClientWidth, ClientHeight);
  const PixelRect damage = DamageSince(History, BackBufferAge(), cube, whole);
  if (!IsEmptyRect(damage)) {
    glEnable(GL_SCISSOR_TEST);
    glScissor(damage.x, damage.y, damage.width, damage.height);
    DrawFrameContents();
    glDisable(GL_SCISSOR_TEST);
  }
  PresentFrameRect(damage.x, damage.y, damage.width, damage.height);
  RememberCubeRect(&History, cube);
}
