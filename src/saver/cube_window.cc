#include "saver/cube_window.h"

#include <cstdio>

#include "cube/show.h"
#include "render/cubies.h"
#include "render/frame.h"
#include "render/front_pieces.h"
#include "render/logo.h"
#include "render/rate_overlay.h"
#include "render/textures.h"
#include "settings/settings.h"
#include "shell/saver_run.h"

int32_t FirstPaintSeen = 0;
SettingOverrides CommandLineSettings;

namespace {

enum { kTickMilliseconds = 50 };

// The pause between ticks: the show's own, or -delay's.
uint32_t TickMicroseconds() {
  const int32_t delay = CommandLineSettings.delay_us;
  return delay >= 0 ? uint32_t(delay) : uint32_t{kTickMilliseconds} * 1000;
}

bool HaveContext = false;
FrameView Views[kMostSaverSurfaces] = {};

const SurfaceDrawing& Drawing() {
  return SaverFrontEndInUse == FRONT_END_WAYLAND ? WaylandSurfaceDrawing : X11SurfaceDrawing;
}

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
  std::fprintf(stderr, "quarlo: the picture %s can't be shown: %s\n", SaverSettings.Texture,
               PictureProblemText(FrontPictureProblem));
}

void RedrawAllWhole() {
  for (FrameView& view : Views) view.history.count = 0;
}

// The frame of this tick on every surface that can be seen; one unseen
// is drawn whole when it shows again.
void DrawSurfaces() {
  const SurfaceDrawing& drawing = Drawing();
  for (int32_t i = 0; i < SaverSurfaceCount; ++i) {
    const SaverSurface& s = SaverSurfaces[i];
    const int32_t age = s.visible && s.width > 0 && s.height > 0 ? drawing.begin_surface(i) : -1;
    if (age < 0) {
      Views[i].history.count = 0;
      continue;
    }
    drawing.present_surface(i, DrawViewChanges(&Views[i], PixelRect{s.x, s.y, s.width, s.height}, age));
  }
  drawing.end_frame();
  if (RateOverlayShown) CountShownFrame();
}

void SetUpScene() {
  HaveContext = Drawing().make_context();
  if (!HaveContext) return;
  PendingBitmap = LoadLogoBitmap();
  if (PendingBitmap) MakeLogoTexture();
  BuildCubieLists();
  FreeTextures();  // the texture objects hold their own copies of the images
  RedrawAllWhole();
  SetSaverTimer(TickMicroseconds());
}

void TearDown() {
  KillSaverTimer();
  if (HaveContext) Drawing().drop_context();
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
      if (FirstPaintSeen) {
        RedrawAllWhole();  // what was covered shows again with the next frame
        break;
      }
      FirstPaintSeen = 1;
      SetUpScene();
      break;
    case SAVER_TIMER:
      ShowTick(DrawSurfaces);
      break;
    case SAVER_RESIZE:  // each view is drawn whole when it finds its rectangle changed
      break;
    case SAVER_DESTROY:
      TearDown();
      break;
  }
}
