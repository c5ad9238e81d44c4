// Frames drawn only where they change. The background is the same in every
// frame, so outside the cube's rectangles of this frame and the frames the
// back buffer is behind, the pixels there already are this frame's; inside
// them the frame is drawn as DrawFrame draws it, cut by the scissor.
#include "render/damage.h"
#include "render/frame.h"
#include "render/gl_compat.h"
#include "render/gl_context.h"
#include "render/rate_overlay.h"

namespace {
FrameView Whole = {};
}

void RedrawWholeFrame() { Whole.history.count = 0; }

void DrawChangedFrame() {
  const PixelRect damage = DrawViewChanges(&Whole, PixelRect{0, 0, ClientWidth, ClientHeight},
                                           BackBufferAge());
  PresentFrameRect(damage.x, damage.y, damage.width, damage.height);
}

PixelRect DrawViewChanges(FrameView* view, const PixelRect& rect, int32_t age) {
  const PixelRect& was = view->rect;
  if (rect.x != was.x || rect.y != was.y || rect.width != was.width || rect.height != was.height) {
    view->rect = rect;
    view->history.count = 0;
  }
  // What changes from frame to frame: the cube, and the figures of -fps.
  PixelRect cube = CubeScreenRect(rect.width, rect.height);
  if (RateOverlayShown) cube = UnionRect(cube, RateOverlayRect(rect.width, rect.height));
  cube.x += rect.x;
  cube.y += rect.y;
  const PixelRect damage = DamageSince(view->history, age, cube, rect);
  if (!IsEmptyRect(damage)) {
    DrawFrameInRect(rect, damage);
    if (RateOverlayShown) {
      glEnable(GL_SCISSOR_TEST);  // the box is still the damage's
      DrawRateOverlay(rect.width, rect.height);
      glDisable(GL_SCISSOR_TEST);
    }
  }
  RememberCubeRect(&view->history, cube);
  return damage;
}
