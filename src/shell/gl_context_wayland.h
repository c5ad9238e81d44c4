// EGL on Wayland surfaces: one desktop OpenGL context (the compatibility
// profile the drawing needs) made current on each output's surface in turn.
//
// Where EGL can neither say what a back buffer holds nor tell the
// compositor which part of a frame changed (Mesa's software path over
// wl_shm does neither), every frame would be drawn and composited whole.
// There each surface is drawn into a framebuffer of its own that keeps the
// last frame, and only what changed is copied into shared-memory buffers of
// ours (XRGB8888, which compositors copy without blending) and shown with
// its damage.
#pragma once

#include <cstdint>

struct wl_buffer;
struct wl_display;
struct wl_shm;
struct wl_surface;
struct wl_egl_window;

// One of our own shared-memory buffers: free or held by the compositor,
// and the part of it that is older than the last frame.
struct WaylandShmBuffer {
  wl_buffer* buffer;
  uint8_t* pixels;
  bool held;
  int32_t stale[4];  // x, y, width, height from the bottom left
};

// What was made on one wl_surface; all zero when nothing.
struct WaylandGLSurface {
  wl_surface* surface;
  wl_egl_window* window;  // EGL's own buffers, or
  void* egl_surface;
  uint32_t framebuffer, color, depth;  // ours: the frame kept
  WaylandShmBuffer shm[2];
  int32_t shown;  // the buffer last given to the compositor, plus 1 (0: none yet)
  void* mapping;
  int32_t mapped_bytes;
  int32_t width, height;  // buffer pixels
};

// The context, current on no surface; false, with the reason on stderr:
// nothing can be drawn. `shm` (may be none) serves our own buffers.
bool CreateWaylandContext(wl_display* display, wl_shm* shm);
void DestroyWaylandContext();
// Makes the context current on `surface`, whose buffers are made or resized
// to width x height first; the age of its back buffer in frames (0:
// unknown), or -1 when it can't be drawn on.
int32_t UseWaylandSurface(WaylandGLSurface* gl, wl_surface* surface, int32_t width, int32_t height);
// Shows the frame drawn on the current surface, telling the compositor
// which part changed (pixels from the bottom left). It never waits for the
// compositor: with none of our buffers free, the frame waits for the next.
void PresentWaylandSurface(WaylandGLSurface* gl, int32_t x, int32_t y, int32_t width, int32_t height);
// Lets go of what was made on a surface, before the surface itself goes.
void ReleaseWaylandSurface(WaylandGLSurface* gl);
