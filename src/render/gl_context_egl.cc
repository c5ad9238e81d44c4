#include "render/gl_context_egl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include "render/gl_compat.h"
#include "render/gl_context.h"

namespace {
int32_t Width = 0, Height = 0;  // the pbuffer's
EGLDisplay Display = EGL_NO_DISPLAY;
EGLSurface Surface = EGL_NO_SURFACE;
EGLContext Context = EGL_NO_CONTEXT;

EGLDisplay OpenSurfacelessDisplay() {
  auto get_platform_display = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
      eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (!get_platform_display) return EGL_NO_DISPLAY;
  return get_platform_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}
}  // namespace

bool CreateHeadlessContext(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return false;
  Display = OpenSurfacelessDisplay();
  if (Display == EGL_NO_DISPLAY || !eglInitialize(Display, nullptr, nullptr)) return false;
  const EGLint config_attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RED_SIZE, 8,
                                      EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_DEPTH_SIZE, 16,
                                      EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
  EGLConfig config;
  EGLint configs = 0;
  if (!eglChooseConfig(Display, config_attributes, &config, 1, &configs) || configs < 1 ||
      !eglBindAPI(EGL_OPENGL_API)) {
    DestroyHeadlessContext();
    return false;
  }
  const EGLint surface_attributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
  Surface = eglCreatePbufferSurface(Display, config, surface_attributes);
  Context = eglCreateContext(Display, config, EGL_NO_CONTEXT, nullptr);
  if (Surface == EGL_NO_SURFACE || Context == EGL_NO_CONTEXT ||
      !eglMakeCurrent(Display, Surface, Surface, Context)) {
    DestroyHeadlessContext();
    return false;
  }
  Width = width;
  Height = height;
  return true;
}

void DestroyHeadlessContext() {
  if (Display == EGL_NO_DISPLAY) return;
  eglMakeCurrent(Display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  if (Context != EGL_NO_CONTEXT) eglDestroyContext(Display, Context);
  if (Surface != EGL_NO_SURFACE) eglDestroySurface(Display, Surface);
  eglTerminate(Display);
  Display = EGL_NO_DISPLAY;
  Surface = EGL_NO_SURFACE;
  Context = EGL_NO_CONTEXT;
}

// A pbuffer has no front buffer to show; finishing the frame is all a swap
// means, and it keeps the last frame for the next to be drawn over.
void SwapFrameBuffers() { glFinish(); }

void ReadFramePixels(uint8_t* rgba) {
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
  // OpenGL gives the bottom row first.
  const int32_t row = Width * 4;
  for (int32_t top = 0, bottom = Height - 1; top < bottom; ++top, --bottom) {
    for (int32_t k = 0; k < row; ++k) {
      const uint8_t t = rgba[top * row + k];
      rgba[top * row + k] = rgba[bottom * row + k];
      rgba[bottom * row + k] = t;
    }
  }
}
