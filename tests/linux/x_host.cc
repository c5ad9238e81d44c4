// A stand-in for the programs that host the saver on X: it makes a window
// for the saver to draw into, destroys it on request, and sends the window
// manager's close request to a window.
//   x_host window W H   prints the new window's id, then waits on stdin:
//                       "destroy" destroys it, the end of input ends it
//   x_host close ID     asks the window ID to close (WM_DELETE_WINDOW)
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  Display* display = XOpenDisplay(nullptr);
  if (!display || argc < 3) return 2;
  if (std::strcmp(argv[1], "close") == 0) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = std::strtoul(argv[2], nullptr, 0);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XSync(display, False);
    return 0;
  }
  if (std::strcmp(argv[1], "window") != 0 || argc < 4) return 2;
  const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 100, 100,
                                            std::atoi(argv[2]), std::atoi(argv[3]), 0, 0, 0);
  XStoreName(display, window, "Quarlo test host");
  XMapWindow(display, window);
  XSync(display, False);
  std::printf("0x%lx\n", window);
  std::fflush(stdout);
  char line[64];
  while (std::fgets(line, sizeof line, stdin)) {
    if (std::strncmp(line, "destroy", 7) == 0) {
      XDestroyWindow(display, window);
      XSync(display, False);
    }
  }
  XCloseDisplay(display);
  return 0;
}
