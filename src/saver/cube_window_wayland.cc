// The cube window's glue on Wayland: one EGL context, made current on each
// output's surface in turn; each surface shows its own frame.
#include "render/gl_context_wayland.h"
#include "saver/cube_window.h"
#include "shell/saver_shell_wayland.h"

namespace {

WaylandGLSurface GLSurfaces[kMostSaverSurfaces] = {};

// Without a context nothing is ever shown: the compositor shows no surface
// without a buffer, so the run would go on unseen, ending on nothing.
bool MakeContext() {
  if (CreateWaylandContext(SaverWaylandDisplay, SaverWaylandShm)) return true;
  EndSaverRun(SAVER_EXIT_CANNOT_RUN);
  return false;
}

void DropContext() {
  for (WaylandGLSurface& gl : GLSurfaces) ReleaseWaylandSurface(&gl);
  DestroyWaylandContext();
}

int32_t BeginSurface(int32_t i) {
  wl_surface* surface = SaverWaylandSurface(i);
  if (!surface) return -1;
  return UseWaylandSurface(&GLSurfaces[i], surface, SaverSurfaces[i].width, SaverSurfaces[i].height);
}

void PresentSurface(int32_t i, const PixelRect& drawn) {
  PresentWaylandSurface(&GLSurfaces[i], drawn.x, drawn.y, drawn.width, drawn.height);
}

void EndFrame() {}

}  // namespace

const SurfaceDrawing WaylandSurfaceDrawing = {MakeContext, DropContext, BeginSurface,
                                              PresentSurface, EndFrame};

void SaverSurfaceGoing(int32_t i) {
  if (i >= 0 && i < kMostSaverSurfaces) ReleaseWaylandSurface(&GLSurfaces[i]);
}
