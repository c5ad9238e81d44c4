// A stand-in for the programs that host the saver on X: it makes a window
// for the saver to draw into and changes it on request, and sends the
// window manager's close request to a window.
//   x_host window W H [nodepth]
//                       prints the new window's id (made in a visual without
//                       a depth buffer with "nodepth"), then reads commands
//                       on stdin: "destroy", "size W H"; the end of input
//                       ends it
//   x_host close ID     asks the window ID to close (WM_DELETE_WINDOW)
#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int SendClose(Display* display, Window window) {
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  return 0;
}

// A visual that OpenGL can use but that has no depth buffer (asked for the
// smallest one, GLX gives none where it can).
bool FindVisualWithoutDepth(Display* display, XVisualInfo* found) {
  int request[] = {GLX_RGBA, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, GLX_DEPTH_SIZE, 0, None};
  XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), request);
  int depth = 1;
  if (visual) glXGetConfig(display, visual, GLX_DEPTH_SIZE, &depth);
  if (visual && depth == 0) *found = *visual;
  if (visual) XFree(visual);
  return depth == 0;
}

Window MakeWindow(Display* display, int width, int height, const XVisualInfo& visual) {
  const Window root = DefaultRootWindow(display);
  XSetWindowAttributes attributes = {};
  attributes.colormap = XCreateColormap(display, root, visual.visual, AllocNone);
  return XCreateWindow(display, root, 100, 100, width, height, 0, visual.depth, InputOutput,
                       visual.visual, CWColormap | CWBackPixel | CWBorderPixel, &attributes);
}

}  // namespace

int main(int argc, char** argv) {
  Display* display = XOpenDisplay(nullptr);
  if (!display || argc < 3) return 2;
  if (std::strcmp(argv[1], "close") == 0) return SendClose(display, std::strtoul(argv[2], nullptr, 0));
  if (std::strcmp(argv[1], "window") != 0 || argc < 4) return 2;
  XVisualInfo visual = {};
  visual.visual = DefaultVisual(display, DefaultScreen(display));
  visual.depth = DefaultDepth(display, DefaultScreen(display));
  if (argc > 4 && std::strcmp(argv[4], "nodepth") == 0 && !FindVisualWithoutDepth(display, &visual)) {
    std::fprintf(stderr, "x_host: no visual without a depth buffer\n");
    return 3;
  }
  const Window window = MakeWindow(display, std::atoi(argv[2]), std::atoi(argv[3]), visual);
  XStoreName(display, window, "Quarlo test host");
  XMapWindow(display, window);
  XSync(display, False);
  std::printf("0x%lx\n", window);
  std::fflush(stdout);
  char line[64];
  while (std::fgets(line, sizeof line, stdin)) {
    int width = 0, height = 0;
    if (std::strncmp(line, "destroy", 7) == 0) {
      XDestroyWindow(display, window);
    } else if (std::sscanf(line, "size %d %d", &width, &height) == 2) {
      XResizeWindow(display, window, width, height);
    }
    XSync(display, False);
  }
  XCloseDisplay(display);
  return 0;
}
