#include "render/gl_context_x11.h"

int32_t ClientWidth = 0;
int32_t ClientHeight = 0;

namespace {
Display* ContextDisplay = nullptr;
Window ContextWindow = 0;
bool DoubleBuffered = false;
}  // namespace

bool ChooseGLVisual(Display* display, int screen, XVisualInfo* visual) {
  int request[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1,
                   GLX_BLUE_SIZE, 1, GLX_DEPTH_SIZE, 16, None};
  XVisualInfo* found = glXChooseVisual(display, screen, request);
  if (!found) return false;
  *visual = *found;
  XFree(found);
  return true;
}

GLXContext CreateGLContext(Display* display, Window window) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes)) return nullptr;
  ClientWidth = attributes.width;
  ClientHeight = attributes.height;
  XVisualInfo wanted = {};
  wanted.visualid = XVisualIDFromVisual(attributes.visual);
  int count = 0;
  XVisualInfo* visual = XGetVisualInfo(display, VisualIDMask, &wanted, &count);
  if (!visual) return nullptr;
  int usable = 0, doubled = 0;
  GLXContext context = nullptr;
  if (glXGetConfig(display, visual, GLX_USE_GL, &usable) == 0 && usable) {
    glXGetConfig(display, visual, GLX_DOUBLEBUFFER, &doubled);
    context = glXCreateContext(display, visual, nullptr, True);
  }
  XFree(visual);
  if (!context) return nullptr;
  if (!glXMakeCurrent(display, window, context)) {
    glXDestroyContext(display, context);
    return nullptr;
  }
  ContextDisplay = display;
  ContextWindow = window;
  DoubleBuffered = doubled != 0;
  glViewport(0, 0, ClientWidth, ClientHeight);
  return context;
}

void DestroyGLContext(GLXContext context) {
  glXMakeCurrent(ContextDisplay, None, nullptr);
  glXDestroyContext(ContextDisplay, context);
  ContextDisplay = nullptr;
  ContextWindow = 0;
}

// A window in a single-buffered visual shows what is drawn once it is flushed.
void SwapFrameBuffers() {
  if (DoubleBuffered) {
    glXSwapBuffers(ContextDisplay, ContextWindow);
  } else {
    glFlush();
  }
}
