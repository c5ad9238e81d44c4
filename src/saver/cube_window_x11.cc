// The cube's own saver window procedure on X11: settings and front-face
// pictures at creation, the scene at the first paint, one show tick per
// timer tick, the projection again on a resize, and teardown at the end.
#include "saver/cube_window_x11.h"

#include <cstdio>

#include "cube/show.h"
#include "render/cubies.h"
#include "render/front_pieces.h"
#include "render/frame.h"
#include "render/gl_context_x11.h"
#include "render/logo.h"
#include "render/textures.h"
#include "settings/settings.h"
#include "shell/saver_shell_x11.h"

int32_t FirstPaintSeen = 0;
GLXContext GLContext = nullptr;
SettingOverrides CommandLineSettings;

namespace {

enum { kTickMilliseconds = 50 };

void ApplyOverrides() {
  const SettingOverrides& o = CommandLineSettings;
  if (o.explode >= 0) SaverSettings.Explode = o.explode;
  if (o.displacement) SaverSettings.Displacement = o.displacement;
  if (o.texture) {
    SaverSettings.Surface = 1;
    std::snprintf(SaverSettings.Texture, sizeof SaverSettings.Texture, "%s", o.texture);
  }
}

void SetUpScene() {
  GLContext = CreateGLContext(SaverDisplay, SaverWindow);
  if (!GLContext) return;
  PendingBitmap = LoadLogoBitmap();
  if (PendingBitmap) MakeLogoTexture();
  BuildCubieLists();
  SetProjection(ClientWidth, ClientHeight);
  RedrawWholeFrame();
  SetSaverTimer(kTickMilliseconds);
}

void TearDown() {
  KillSaverTimer();
  if (GLContext) DestroyGLContext(GLContext);  // the lists and textures go with it
  GLContext = nullptr;
  FreeTextures();
}

}  // namespace

bool ChooseSaverVisual(Display* display, int screen, XVisualInfo* visual) {
  return ChooseGLVisual(display, screen, visual);
}

bool SaverCanDrawInVisual(Display* display, Visual* visual) {
  return VisualSuitsDrawing(display, visual);
}

void CubeSaverProc(SaverMessage message) {
  switch (message) {
    case SAVER_CREATE:
      LoadSettings();
      ApplyOverrides();
      MakeFrontPieces();
      break;
    case SAVER_PAINT:
      if (FirstPaintSeen) {
        RedrawWholeFrame();  // what was covered shows again with the next frame
        break;
      }
      FirstPaintSeen = 1;
      SetUpScene();
      break;
    case SAVER_TIMER:
      // Unseen, the show goes on undrawn; the first frame seen again is whole.
      if (!SaverVisible) RedrawWholeFrame();
      ShowTick(SaverVisible ? DrawChangedFrame : nullptr);
      break;
    case SAVER_RESIZE:
      if (!GLContext) break;
      ClientWidth = SaverWidth;
      ClientHeight = SaverHeight;
      SetProjection(ClientWidth, ClientHeight);
      RedrawWholeFrame();
      break;
    case SAVER_DESTROY:
      TearDown();
      break;
  }
}
