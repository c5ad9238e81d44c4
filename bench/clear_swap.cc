// The floor for a GL screen saver on X: clears the root window and swaps its
// buffers every 50 ms, nothing else. Runs until killed.
#include <GL/gl.h>
#include <GL/glx.h>
#include <time.h>

#include "next_tick.h"

int main() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 1;
  const Window root = DefaultRootWindow(display);
  XWindowAttributes attributes;
  XGetWindowAttributes(display, root, &attributes);
  XVisualInfo wanted = {};
  wanted.visualid = XVisualIDFromVisual(attributes.visual);
  int count = 0;
  XVisualInfo* visual = XGetVisualInfo(display, VisualIDMask, &wanted, &count);
  GLXContext context = visual ? glXCreateContext(display, visual, nullptr, True) : nullptr;
  if (!context || !glXMakeCurrent(display, root, context)) return 1;
  glViewport(0, 0, attributes.width, attributes.height);
  glClearColor(0, 0.5f, 0.5f, 1);
  timespec next;
  clock_gettime(CLOCK_MONOTONIC, &next);
  for (;;) {
    SleepToNextTick(&next);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glXSwapBuffers(display, root);
  }
}
