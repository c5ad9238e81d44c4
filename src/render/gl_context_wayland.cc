#include "render/gl_context_wayland.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <wayland-egl.h>

#include "render/extension_list.h"

namespace {

EGLDisplay Display = EGL_NO_DISPLAY;
EGLConfig Config = nullptr;
EGLContext Context = EGL_NO_CONTEXT;
bool BufferAge = false;
PFNEGLSWAPBUFFERSWITHDAMAGEKHRPROC SwapWithDamage = nullptr;

// Opaque buffers: a config without alpha where there is one, so the
// compositor never blends the saver with what lies below.
bool ChooseConfig() {
  const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_WINDOW_BIT, EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8,
                           EGL_BLUE_SIZE, 8, EGL_DEPTH_SIZE, 16, EGL_RENDERABLE_TYPE,
                           EGL_OPENGL_BIT, EGL_NONE};
  EGLConfig configs[64];
  EGLint count = 0;
  if (!eglChooseConfig(Display, wanted, configs, 64, &count) || count < 1) return false;
  Config = configs[0];
  for (EGLint i = 0; i < count; ++i) {
    EGLint alpha = 1;
    if (eglGetConfigAttrib(Display, configs[i], EGL_ALPHA_SIZE, &alpha) && alpha == 0) {
      Config = configs[i];
      break;
    }
  }
  return true;
}

}  // namespace

bool CreateWaylandContext(wl_display* display) {
  Display = eglGetDisplay(reinterpret_cast<EGLNativeDisplayType>(display));
  if (Display == EGL_NO_DISPLAY || !eglInitialize(Display, nullptr, nullptr)) return false;
  if (!eglBindAPI(EGL_OPENGL_API) || !ChooseConfig()) {
    DestroyWaylandContext();
    return false;
  }
  Context = eglCreateContext(Display, Config, EGL_NO_CONTEXT, nullptr);
  // Current at once, on no surface yet, so that lists and textures can be
  // made before the first output is drawn.
  if (Context == EGL_NO_CONTEXT ||
      !eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, Context)) {
    DestroyWaylandContext();
    return false;
  }
  const char* extensions = eglQueryString(Display, EGL_EXTENSIONS);
  BufferAge = ExtensionListed(extensions, "EGL_EXT_buffer_age");
  SwapWithDamage = nullptr;
  if (ExtensionListed(extensions, "EGL_KHR_swap_buffers_with_damage")) {
    SwapWithDamage = reinterpret_cast<PFNEGLSWAPBUFFERSWITHDAMAGEKHRPROC>(
        eglGetProcAddress("eglSwapBuffersWithDamageKHR"));
  } else if (ExtensionListed(extensions, "EGL_EXT_swap_buffers_with_damage")) {
    SwapWithDamage = reinterpret_cast<PFNEGLSWAPBUFFERSWITHDAMAGEKHRPROC>(
        eglGetProcAddress("eglSwapBuffersWithDamageEXT"));
  }
  return true;
}

void DestroyWaylandContext() {
  if (Display == EGL_NO_DISPLAY) return;
  eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  if (Context != EGL_NO_CONTEXT) eglDestroyContext(Display, Context);
  eglTerminate(Display);
  Display = EGL_NO_DISPLAY;
  Context = EGL_NO_CONTEXT;
}

int32_t UseWaylandSurface(WaylandGLSurface* gl, wl_surface* surface, int32_t width, int32_t height) {
  if (Context == EGL_NO_CONTEXT || width <= 0 || height <= 0) return -1;
  bool made = false;
  if (!gl->window) {
    gl->window = wl_egl_window_create(surface, width, height);
    if (!gl->window) return -1;
    gl->egl_surface = eglCreateWindowSurface(Display, Config,
                                             reinterpret_cast<EGLNativeWindowType>(gl->window), nullptr);
    if (gl->egl_surface == EGL_NO_SURFACE) {
      ReleaseWaylandSurface(gl);
      return -1;
    }
    made = true;
  } else if (width != gl->width || height != gl->height) {
    wl_egl_window_resize(gl->window, width, height, 0, 0);
  }
  gl->width = width;
  gl->height = height;
  if (!eglMakeCurrent(Display, gl->egl_surface, gl->egl_surface, Context)) return -1;
  if (made) eglSwapInterval(Display, 0);  // a hidden output must not hold up the tick
  EGLint age = 0;
  if (!BufferAge || !eglQuerySurface(Display, gl->egl_surface, EGL_BUFFER_AGE_EXT, &age)) age = 0;
  return age;
}

void PresentWaylandSurface(WaylandGLSurface* gl, int32_t x, int32_t y, int32_t width, int32_t height) {
  if (!gl->egl_surface) return;
  EGLint rect[4] = {x, y, width, height};
  if (SwapWithDamage && width > 0 && height > 0) {
    SwapWithDamage(Display, gl->egl_surface, rect, 1);
  } else {
    eglSwapBuffers(Display, gl->egl_surface);
  }
}

void ReleaseWaylandSurface(WaylandGLSurface* gl) {
  if (gl->egl_surface && Display != EGL_NO_DISPLAY) {
    if (eglGetCurrentSurface(EGL_DRAW) == gl->egl_surface) {
      eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, Context);
    }
    eglDestroySurface(Display, gl->egl_surface);
  }
  if (gl->window) wl_egl_window_destroy(gl->window);
  *gl = WaylandGLSurface{};
}
