// The floor for a GL screen saver on Wayland: one layer surface over the
// first output, cleared and swapped with EGL every 50 ms, nothing else.
// Runs until killed.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <time.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include <cstring>

#define namespace layer_namespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"

#include "next_tick.h"
#undef namespace

namespace {
wl_compositor* Compositor = nullptr;
wl_output* Output = nullptr;
zwlr_layer_shell_v1* Shell = nullptr;
int32_t Width = 0, Height = 0;

void Global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
  if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
    Compositor = static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 4));
  } else if (std::strcmp(interface, wl_output_interface.name) == 0 && !Output) {
    Output = static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, 2));
  } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
    Shell = static_cast<zwlr_layer_shell_v1*>(
        wl_registry_bind(registry, name, &zwlr_layer_shell_v1_interface, 1));
  }
}
void GlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistry = {Global, GlobalRemove};

void Configure(void*, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width, uint32_t height) {
  zwlr_layer_surface_v1_ack_configure(layer, serial);
  Width = int32_t(width);
  Height = int32_t(height);
}
void Closed(void*, zwlr_layer_surface_v1*) {}
const zwlr_layer_surface_v1_listener kLayer = {Configure, Closed};
}  // namespace

int main() {
  wl_display* display = wl_display_connect(nullptr);
  if (!display) return 1;
  wl_registry_add_listener(wl_display_get_registry(display), &kRegistry, nullptr);
  wl_display_roundtrip(display);
  if (!Compositor || !Shell || !Output) return 1;
  wl_surface* surface = wl_compositor_create_surface(Compositor);
  zwlr_layer_surface_v1* layer = zwlr_layer_shell_v1_get_layer_surface(
      Shell, surface, Output, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "floor");
  zwlr_layer_surface_v1_add_listener(layer, &kLayer, nullptr);
  zwlr_layer_surface_v1_set_anchor(layer, 15);
  zwlr_layer_surface_v1_set_exclusive_zone(layer, -1);
  wl_surface_commit(surface);
  while (Width == 0 && wl_display_dispatch(display) >= 0) {
  }
  EGLDisplay egl = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, display, nullptr);
  const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8,
                           EGL_BLUE_SIZE, 8, EGL_ALPHA_SIZE, 0, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                           EGL_NONE};
  EGLConfig configs[64], config = nullptr;
  EGLint count = 0;
  if (!eglInitialize(egl, nullptr, nullptr) || !eglBindAPI(EGL_OPENGL_API) ||
      !eglChooseConfig(egl, wanted, configs, 64, &count) || count < 1) {
    return 1;
  }
  for (EGLint i = count - 1; i >= 0; --i) {  // XRGB8888, as a careful client picks
    EGLint red = 0;
    eglGetConfigAttrib(egl, configs[i], EGL_RED_SIZE, &red);
    if (red == 8) config = configs[i];
  }
  if (!config) return 1;
  wl_egl_window* window = wl_egl_window_create(surface, Width, Height);
  EGLSurface target = eglCreateWindowSurface(egl, config, reinterpret_cast<EGLNativeWindowType>(window), nullptr);
  EGLContext context = eglCreateContext(egl, config, EGL_NO_CONTEXT, nullptr);
  if (!eglMakeCurrent(egl, target, target, context)) return 1;
  eglSwapInterval(egl, 0);
  glClearColor(0, 0.5f, 0.5f, 1);
  timespec next;
  clock_gettime(CLOCK_MONOTONIC, &next);
  for (;;) {
    SleepToNextTick(&next);
    glClear(GL_COLOR_BUFFER_BIT);
    eglSwapBuffers(egl, target);
    if (wl_display_dispatch_pending(display) < 0) return 0;
  }
}
