#include "shell/gl_context_x11.h"

#include <cstdio>

#include "shell/extension_list.h"
#include "shell/saver_run.h"

namespace {
Display* ContextDisplay = nullptr;
Window ContextWindow = 0;
GLXContext Context = nullptr;
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

// OpenGL in colour with a depth buffer.
bool DescriptionSuitsDrawing(Display* display, XVisualInfo* info) {
  int usable = 0, rgba = 0, depth = 0;
  return glXGetConfig(display, info, GLX_USE_GL, &usable) == 0 && usable &&
         glXGetConfig(display, info, GLX_RGBA, &rgba) == 0 && rgba &&
         glXGetConfig(display, info, GLX_DEPTH_SIZE, &depth) == 0 && depth > 0;
}

}  // namespace

bool VisualSuitsDrawing(Display* display, Visual* visual) {
  XVisualInfo* info = DescribeVisual(display, visual);
  if (!info) return false;
  const bool suits = DescriptionSuitsDrawing(display, info);
  XFree(info);
  return suits;
}

namespace {

// Of the screen's visuals that match `wanted` in the fields of `mask`
// (VisualIDMask, VisualClassMask), one that suits drawing, double-buffered
// where one is; false when none suits.
bool FindDrawingVisual(Display* display, int screen, const XVisualInfo& wanted, long mask,
                       XVisualInfo* visual) {
  XVisualInfo match = wanted;
  match.screen = screen;
  int count = 0;
  XVisualInfo* found = XGetVisualInfo(display, mask | VisualScreenMask, &match, &count);
  int best = -1;
  for (int i = 0; i < count; ++i) {
    if (!DescriptionSuitsDrawing(display, &found[i])) continue;
    int doubled = 0;
    glXGetConfig(display, &found[i], GLX_DOUBLEBUFFER, &doubled);
    if (best < 0 || doubled) best = i;
    if (doubled) break;
  }
  if (best >= 0) *visual = found[best];
  if (found) XFree(found);
  return best >= 0;
}

bool ChooseGLVisual(Display* display, int screen, XVisualInfo* visual) {
  int request[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1,
                   GLX_BLUE_SIZE, 1, GLX_DEPTH_SIZE, 16, None};
  XVisualInfo* found = glXChooseVisual(display, screen, request);
  if (!found) return false;
  *visual = *found;
  XFree(found);
  return true;
}

}  // namespace

bool ChooseWindowVisual(Display* display, int screen, const SaverVisualRequest& request,
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
  if (!said) SayProblem("no visual that -visual names can draw the show here; the saver picks its own");
  said = true;
  return ChooseGLVisual(display, screen, visual);
}

namespace {

// Says why the window gets no context; it then stays blank, and input still ends it.
bool NoContext(const char* why) {
  SayProblem("no OpenGL for the window: %s", why);
  return false;
}

}  // namespace

bool MakeWindowContext(Display* display, Window window) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes)) return NoContext("the window is gone");
  XVisualInfo* visual = DescribeVisual(display, attributes.visual);
  if (!visual) return NoContext("the server does not know its visual");
  int usable = 0, doubled = 0;
  const bool gl = glXGetConfig(display, visual, GLX_USE_GL, &usable) == 0 && usable;
  if (gl) {
    glXGetConfig(display, visual, GLX_DOUBLEBUFFER, &doubled);
    Context = glXCreateContext(display, visual, nullptr, True);
  }
  XFree(visual);
  if (!Context) return NoContext(gl ? "GLX made no context" : "its visual has no OpenGL (GLX)");
  if (!glXMakeCurrent(display, window, Context)) {
    glXDestroyContext(display, Context);
    Context = nullptr;
    return NoContext("GLX could not make the context current on it");
  }
  ContextDisplay = display;
  ContextWindow = window;
  DoubleBuffered = doubled != 0;
  FindPartialPresentation(display);
  PresentedWidth = PresentedHeight = 0;
  BackBufferKnown = false;
  return true;
}

void DropWindowContext() {
  if (!Context) return;
  glXMakeCurrent(ContextDisplay, None, nullptr);
  glXDestroyContext(ContextDisplay, Context);
  Context = nullptr;
  ContextDisplay = nullptr;
  ContextWindow = 0;
}

// Drawing into a single-buffered window, or into a back buffer that is only
// ever copied from, leaves the last frame where it is drawn; a swapped back
// buffer holds what the server says it holds.
int32_t WindowBackBufferAge(int32_t width, int32_t height) {
  if (!DoubleBuffered) return 1;
  if (CopySubBuffer) return BackBufferKnown && width == PresentedWidth && height == PresentedHeight;
  if (!BufferAge) return 0;
  unsigned int age = 0;
  glXQueryDrawable(ContextDisplay, ContextWindow, GLX_BACK_BUFFER_AGE_EXT, &age);
  return static_cast<int32_t>(age);
}

void PresentWindowPart(int32_t x, int32_t y, int32_t part_width, int32_t part_height,
                       int32_t width, int32_t height) {
  if (!DoubleBuffered) {
    glFlush();
  } else if (CopySubBuffer && (PresentedWidth != width || PresentedHeight != height)) {
    glXSwapBuffers(ContextDisplay, ContextWindow);
    PresentedWidth = width;
    PresentedHeight = height;
    BackBufferKnown = false;
  } else if (CopySubBuffer) {
    if (part_width > 0 && part_height > 0) {
      CopySubBuffer(ContextDisplay, ContextWindow, x, y, part_width, part_height);
    }
    BackBufferKnown = true;
  } else {
    glXSwapBuffers(ContextDisplay, ContextWindow);  // the buffers' ages count every frame
  }
}
