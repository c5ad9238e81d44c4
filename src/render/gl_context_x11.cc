#include "render/gl_context_x11.h"

#include <cstdio>

#include "render/extension_list.h"

int32_t ClientWidth = 0;
int32_t ClientHeight = 0;

namespace {
Display* ContextDisplay = nullptr;
Window ContextWindow = 0;
bool DoubleBuffered = false;
// How the server lets a frame be shown in part, when it does.
PFNGLXCOPYSUBBUFFERMESAPROC CopySubBuffer = nullptr;
bool BufferAge = false;
// The drawable learns a new window size only from a swap; after that swap
// the back buffer holds nothing we can count on until a frame is drawn whole.
int32_t PresentedWidth = 0, PresentedHeight = 0;
bool BackBufferKnown = false;

bool HasExtension(Display* display, const char* name) {
  return ExtensionListed(glXQueryExtensionsString(display, DefaultScreen(display)), name);
}

void FindPartialPresentation(Display* display) {
  CopySubBuffer = nullptr;
  if (HasExtension(display, "GLX_MESA_copy_sub_buffer")) {
    CopySubBuffer = reinterpret_cast<PFNGLXCOPYSUBBUFFERMESAPROC>(
        glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCopySubBufferMESA")));
  }
  BufferAge = HasExtension(display, "GLX_EXT_buffer_age");
}

// The description of a visual that glXGetConfig and glXCreateContext take
// (XFree it); null when the server doesn't know the visual.
XVisualInfo* DescribeVisual(Display* display, Visual* visual) {
  XVisualInfo wanted = {};
  wanted.visualid = XVisualIDFromVisual(visual);
  int count = 0;
  return XGetVisualInfo(display, VisualIDMask, &wanted, &count);
}
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

bool VisualSuitsDrawing(Display* display, Visual* visual) {
  XVisualInfo* info = DescribeVisual(display, visual);
  if (!info) return false;
  int usable = 0, rgba = 0, depth = 0;
  const bool suits = glXGetConfig(display, info, GLX_USE_GL, &usable) == 0 && usable &&
                     glXGetConfig(display, info, GLX_RGBA, &rgba) == 0 && rgba &&
                     glXGetConfig(display, info, GLX_DEPTH_SIZE, &depth) == 0 && depth > 0;
  XFree(info);
  return suits;
}

bool FindDrawingVisual(Display* display, int screen, const XVisualInfo& wanted, long mask,
                       XVisualInfo* visual) {
  XVisualInfo match = wanted;
  match.screen = screen;
  int count = 0;
  XVisualInfo* found = XGetVisualInfo(display, mask | VisualScreenMask, &match, &count);
  int best = -1;
  for (int i = 0; i < count; ++i) {
    if (!VisualSuitsDrawing(display, found[i].visual)) continue;
    int doubled = 0;
    glXGetConfig(display, &found[i], GLX_DOUBLEBUFFER, &doubled);
    if (best < 0 || doubled) best = i;
    if (doubled) break;
  }
  if (best >= 0) *visual = found[best];
  if (found) XFree(found);
  return best >= 0;
}

// Says why the window gets no context; it then stays blank, and input still ends it.
GLXContext NoContext(const char* why) {
  std::fprintf(stderr, "quarlo: no OpenGL for the window: %s\n", why);
  return nullptr;
}

GLXContext CreateGLContext(Display* display, Window window) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes)) return NoContext("the window is gone");
  ClientWidth = attributes.width;
  ClientHeight = attributes.height;
  XVisualInfo* visual = DescribeVisual(display, attributes.visual);
  if (!visual) return NoContext("the server does not know its visual");
  int usable = 0, doubled = 0;
  GLXContext context = nullptr;
  const bool gl = glXGetConfig(display, visual, GLX_USE_GL, &usable) == 0 && usable;
  if (gl) {
    glXGetConfig(display, visual, GLX_DOUBLEBUFFER, &doubled);
    context = glXCreateContext(display, visual, nullptr, True);
  }
  XFree(visual);
  if (!context) return NoContext(gl ? "GLX made no context" : "its visual has no OpenGL (GLX)");
  if (!glXMakeCurrent(display, window, context)) {
    glXDestroyContext(display, context);
    return NoContext("GLX could not make the context current on it");
  }
  ContextDisplay = display;
  ContextWindow = window;
  DoubleBuffered = doubled != 0;
  FindPartialPresentation(display);
  PresentedWidth = PresentedHeight = 0;
  BackBufferKnown = false;
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

// Drawing into a single-buffered window, or into a back buffer that is only
// ever copied from, leaves the last frame where it is drawn; a swapped back
// buffer holds what the server says it holds.
int32_t BackBufferAge() {
  if (!DoubleBuffered) return 1;
  if (CopySubBuffer) return BackBufferKnown ? 1 : 0;
  if (!BufferAge) return 0;
  unsigned int age = 0;
  glXQueryDrawable(ContextDisplay, ContextWindow, GLX_BACK_BUFFER_AGE_EXT, &age);
  return static_cast<int32_t>(age);
}

void PresentFrameRect(int32_t x, int32_t y, int32_t width, int32_t height) {
  if (!DoubleBuffered) {
    glFlush();
  } else if (CopySubBuffer && (PresentedWidth != ClientWidth || PresentedHeight != ClientHeight)) {
    glXSwapBuffers(ContextDisplay, ContextWindow);
    PresentedWidth = ClientWidth;
    PresentedHeight = ClientHeight;
    BackBufferKnown = false;
  } else if (CopySubBuffer) {
    if (width > 0 && height > 0) CopySubBuffer(ContextDisplay, ContextWindow, x, y, width, height);
    BackBufferKnown = true;
  } else {
    glXSwapBuffers(ContextDisplay, ContextWindow);
  }
}
