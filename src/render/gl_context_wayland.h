// EGL on Wayland surfaces: one desktop OpenGL context (the compatibility
// profile the drawing needs) made current on each output's surface in turn.
#pragma once

#include <cstdint>

struct wl_display;
struct wl_surface;
struct wl_egl_window;

// What EGL made on one wl_surface; all zero when nothing.
struct WaylandGLSurface {
  wl_egl_window* window;
  void* egl_surface;
  int32_t width, height;  // buffer pixels
};

// The context, current on no surface; false: nothing can be drawn.
bool CreateWaylandContext(wl_display* display);
void DestroyWaylandContext();
// Makes the context current on `surface`, whose buffers are made or resized
// to width x height first; the age of its back buffer in frames (0:
// unknown), or -1 when it can't be drawn on.
int32_t UseWaylandSurface(WaylandGLSurface* gl, wl_surface* surface, int32_t width, int32_t height);
// Shows the frame drawn on the current surface, telling the compositor
// which part changed (pixels from the bottom left) where EGL can say it.
// The swap never waits for the compositor's next frame.
void PresentWaylandSurface(WaylandGLSurface* gl, int32_t x, int32_t y, int32_t width, int32_t height);
// Lets go of what was made on a surface, before the surface itself goes.
void ReleaseWaylandSurface(WaylandGLSurface* gl);
