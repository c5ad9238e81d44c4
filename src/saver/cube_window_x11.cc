// The cube window's glue on X11: a GLX context on the saver window, whose
// surfaces (the whole window, or each monitor's part of it) are drawn into
// one back buffer and presented together.
#include <cstdio>

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

bool ChooseSaverVisual(Display* display, int screen, const SaverVisualRequest& request,
                       XVisualInfo* visual) {
  XVisualInfo wanted = {};
  long mask = VisualIDMask;
  switch (request.kind) {
    case VISUAL_BEST:
      return ChooseGLVisual(display, screen, visual);
    case VISUAL_DEFAULT:
      wanted.visualid = XVisualIDFromVisual(DefaultVisual(display, screen));
      break;
    case VISUAL_CLASS:
      wanted.c_class = int(request.value);
      mask = VisualClassMask;
      break;
    case VISUAL_ID:
      wanted.visualid = request.value;
      break;
  }
  if (FindDrawingVisual(display, screen, wanted, mask, visual)) return true;
  static bool said = false;  // the shell may make more than one window
  if (!said) std::fprintf(stderr, "quarlo: no visual that -visual names can draw the show here; the saver picks its own\n");
  said = true;
  return ChooseGLVisual(display, screen, visual);
}

bool SaverCanDrawInVisual(Display* display, Visual* visual) {
  return VisualSuitsDrawing(display, visual);
}
