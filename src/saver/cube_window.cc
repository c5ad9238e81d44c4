#include "saver/cube_window.h"

#include <cstdio>
#include <ctime>

#include "cube/show.h"
#include "render/frame.h"
#include "render/gl_compat.h"
#include "render/front_pieces.h"
#include "render/rate_overlay.h"
#include "render/scene.h"
#include "render/textures.h"
#include "saver/lock_indicator_wayland.h"
#include "settings/settings.h"
#include "shell/saver_run.h"

SettingOverrides CommandLineSettings;

namespace {

enum { kTickMilliseconds = 50 };

// The pause between ticks: the show's own, or -delay's.
uint32_t TickMicroseconds() {
  const int32_t delay = CommandLineSettings.delay_us;
  return delay >= 0 ? uint32_t(delay) : uint32_t{kTickMilliseconds} * 1000;
}

bool HaveContext = false;
bool HaveIndicator = false;
int32_t IndicatorWasShown = 0;
ViewDamage Views[kMostSaverSurfaces] = {};  // what each surface's back buffers hold

void ApplyOverrides() {
  const SettingOverrides& o = CommandLineSettings;
  if (o.explode >= 0) SaverSettings.Explode = o.explode;
  if (o.displacement) SaverSettings.Displacement = o.displacement;
  if (o.texture) {
    SaverSettings.Surface = 1;
    std::snprintf(SaverSettings.Texture, sizeof SaverSettings.Texture, "%s", o.texture);
  }
  RateOverlayShown = o.show_fps;
}

// A picture left out is named on stderr, once a run, with the reason.
void TellPictureProblem() {
  static bool told = false;
  if (FrontPictureProblem == PICTURE_FINE || told) return;
  told = true;
  const char* path = SaverSettings.Texture;
  SayProblem("the picture %s%scan't be shown: %s", path, *path ? " " : "",
             PictureProblemText(FrontPictureProblem));
}

// The frame of this tick on every surface that can be seen; one whose
// buffers hold what is unknown (new, resized, unseen until now) is drawn
// whole.
void DrawSurfaces() {
  const SaverDrawing& drawing = *SaverDrawingInUse;
  MeasureCubies();
  for (int32_t i = 0; i < SaverSurfaceCount; ++i) {
    SaverSurface& s = SaverSurfaces[i];
    const int32_t age = s.seen && s.width > 0 && s.height > 0 ? drawing.begin_surface(i) : -1;
    if (age < 0 || s.redraw) Views[i].count = 0;
    if (age < 0) continue;
    s.redraw = 0;
    // The lock's indicator, while it shows and the frame after it goes.
    const bool indicator = HaveIndicator && (SaverLockShown.shown || IndicatorWasShown);
    const PixelRect extra = indicator ? LockIndicatorRect(s.width, s.height, s.scale) : PixelRect{};
    const PixelRect drawn =
        DrawViewChanges(&Views[i], PixelRect{s.x, s.y, s.width, s.height}, age, extra);
    if (HaveIndicator && SaverLockShown.shown && !IsEmptyRect(drawn)) {
      glEnable(GL_SCISSOR_TEST);
      DrawLockIndicator(s.width, s.height, s.scale);
      glDisable(GL_SCISSOR_TEST);
    }
    drawing.present_surface(i, drawn.x, drawn.y, drawn.width, drawn.height);
  }
  IndicatorWasShown = SaverLockShown.shown;
  drawing.end_frame();
  if (RateOverlayShown) CountShownFrame();
}

void SetUpScene() {
  HaveContext = SaverDrawingInUse->make_context();
  if (!HaveContext) return;
  BuildScene();
  StartShow(static_cast<uint32_t>(std::time(nullptr)));
  if (SaverLockShown.user) HaveIndicator = MakeLockIndicator(SaverLockShown.user);
  FreeTextures();  // the texture objects hold their own copies of the images
  SetSaverTimer(TickMicroseconds());
}

void TearDown() {
  KillSaverTimer();
  if (HaveIndicator) DropLockIndicator();
  HaveIndicator = false;
  if (HaveContext) SaverDrawingInUse->drop_context();
  HaveContext = false;
  FreeTextures();
}

}  // namespace

void CubeSaverProc(SaverMessage message) {
  switch (message) {
    case SAVER_CREATE:
      LoadSettings();
      ApplyOverrides();
      MakeFrontPieces();
      TellPictureProblem();
      break;
    case SAVER_PAINT:
      SetUpScene();
      break;
    case SAVER_TIMER:
      ShowTick(DrawSurfaces);
      if (SaverTickHook) SaverTickHook();
      break;
    case SAVER_DESTROY:
      TearDown();
      break;
  }
}
