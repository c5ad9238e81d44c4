// Frames drawn only where they change. The background is the same in every
// frame, and so is a cubie that didn't move: outside the places of the
// cubies that moved since the frame the back buffer holds, the pixels there
// already are this frame's; inside them the frame is drawn as DrawFrame
// draws it, cut by the scissor.
#include "render/damage.h"
#include "render/frame.h"
#include "render/gl_compat.h"
#include "render/rate_overlay.h"

PixelRect DrawViewChanges(ViewDamage* view, const PixelRect& rect, int32_t age,
                          const PixelRect& extra) {
  // The figures of -fps change too, once a second.
  const PixelRect overlay = RateOverlayShown ? RateOverlayRect(rect.width, rect.height) : PixelRect{};
  const PixelRect damage = DamageForView(view, rect, age, UnionRect(overlay, extra));
  if (IsEmptyRect(damage)) return damage;
  DrawFrameInRect(rect, damage);
  if (RateOverlayShown) {
    glEnable(GL_SCISSOR_TEST);  // the box is still the damage's
    DrawRateOverlay(rect.width, rect.height);
    glDisable(GL_SCISSOR_TEST);
  }
  return damage;
}
