// The cube window's glue on X11: a GLX context on the saver window, whose
// surfaces (the whole window, or each monitor's part of it) are drawn into
// one back buffer and presented together.
#include "render/gl_context_x11.h"
#include "saver/cube_window.h"
#include "shell/saver_shell_x11.h"

namespace {

GLXContext GLContext = nullptr;
PixelRect Drawn = {};
bool AnyDrawn = false;

bool MakeContext() {
  GLContext = CreateGLContext(SaverDisplay, SaverWindow);
  return GLContext != nullptr;
}

void DropContext() {
  DestroyGLContext(GLContext);
  GLContext = nullptr;
}

int32_t BeginSurface(int32_t) {
  ClientWidth = SaverWidth;  // the drawable's size, for how a part of it is shown
  ClientHeight = SaverHeight;
  return BackBufferAge();
}

void PresentSurface(int32_t, const PixelRect& drawn) {
  Drawn = UnionRect(Drawn, drawn);
  AnyDrawn = true;
}

void EndFrame() {
  if (AnyDrawn) PresentFrameRect(Drawn.x, Drawn.y, Drawn.width, Drawn.height);
  Drawn = PixelRect{};
  AnyDrawn = false;
}

}  // namespace

const SurfaceDrawing X11SurfaceDrawing = {MakeContext, DropContext, BeginSurface, PresentSurface,
                                          EndFrame};

bool ChooseSaverVisual(Display* display, int screen, XVisualInfo* visual) {
  return ChooseGLVisual(display, screen, visual);
}

bool SaverCanDrawInVisual(Display* display, Visual* visual) {
  return VisualSuitsDrawing(display, visual);
}
