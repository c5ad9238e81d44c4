// The settings dialog's live picture of the show: drawn headless (EGL on
// no window), so that it is the same on X11 and Wayland, at the show's pace
// with every other tick shown, from the record as the dialog holds it.
#include "saver/settings_preview.h"

#include <cstdio>
#include <ctime>

#include "cube/show.h"
#include "render/cubies.h"
#include "render/frame.h"
#include "render/front_pieces.h"
#include "render/gl_context_egl.h"
#include "render/scene.h"
#include "render/textures.h"
#include "settings/settings.h"

namespace {

int32_t Width = 0, Height = 0;
uint8_t* Target = nullptr;  // where the tick's frame goes
bool Drawn = false;
char Problem[160] = "";  // why the picture is left out, or empty
uint32_t Ticks = 0;

void DrawShown() {
  if (++Ticks % 2) return;
  DrawFrame();
  ReadFramePixels(Target);
  Drawn = true;
}

bool Start(int32_t width, int32_t height) {
  if (!CreateHeadlessContext(width, height)) return false;
  Width = width;
  Height = height;
  BuildSceneLogo();  // the lists come with the pictures, in SettingsChanged
  StartShow(static_cast<uint32_t>(std::time(nullptr)));
  return true;
}

bool Tick(uint8_t* rgba) {
  Target = rgba;
  Drawn = false;
  ShowTick(DrawShown);
  return Drawn;
}

// The lists take the pictures in when they are made, so a new picture
// makes them again (and starts the show again). The record keeps the
// picture on where the saver would leave it out: it is the user's choice.
void SettingsChanged(bool picture) {
  if (picture) {
    const int32_t surface = SaverSettings.Surface;
    MakeFrontPieces();
    Problem[0] = '\0';
    if (surface && !SaverSettings.Surface) {
      std::snprintf(Problem, sizeof Problem, "This picture can't be shown: %s.",
                    PictureProblemText(FrontPictureProblem));
    }
    DeleteCubieLists();
    CompileCubieLists();
    SaverSettings.Surface = surface;
  }
  SetProjection(Width, Height);
}

const char* WhyPictureLeftOut() { return Problem[0] ? Problem : nullptr; }

void Stop() {
  DeleteCubieLists();
  FreeTextures();
  DestroyHeadlessContext();
}

const ConfigDialogPreview kPreview = {Start, Tick, SettingsChanged, WhyPictureLeftOut, Stop};

}  // namespace

const ConfigDialogPreview* ShowPreview() { return &kPreview; }
