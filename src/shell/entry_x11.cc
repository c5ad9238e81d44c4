// The saver's entry on X11: the command line picks one mode; the saver
// modes find or make the window to draw into and run the event loop.
#include <X11/Xatom.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "shell/saver_arguments.h"
#include "shell/saver_shell_x11.h"

Display* SaverDisplay = nullptr;
Window SaverWindow = 0;
int32_t SaverWidth = 0;
int32_t SaverHeight = 0;

namespace {

const char kTitle[] = "Quarlo's Cube";
enum { kWindowWidth = 800, kWindowHeight = 600 };

// X errors are not fatal to a saver: a window that goes away while a frame
// is drawn gives one, and its DestroyNotify ends the run cleanly.
int LastXError = 0;
int NoteXError(Display*, XErrorEvent* event) {
  LastXError = event->error_code;
  return 0;
}
// The server itself gone: nothing is left to draw on.
int ServerGone(Display*) { _exit(0); }

Window MakeWindow(bool full_screen) {
  const int screen = DefaultScreen(SaverDisplay);
  const Window root = RootWindow(SaverDisplay, screen);
  XVisualInfo visual;
  if (!ChooseSaverVisual(SaverDisplay, screen, &visual)) {
    visual.visual = DefaultVisual(SaverDisplay, screen);
    visual.depth = DefaultDepth(SaverDisplay, screen);
  }
  XSetWindowAttributes attributes = {};
  attributes.colormap = XCreateColormap(SaverDisplay, root, visual.visual, AllocNone);
  attributes.background_pixel = BlackPixel(SaverDisplay, screen);
  attributes.border_pixel = 0;
  attributes.override_redirect = full_screen;
  const int width = full_screen ? DisplayWidth(SaverDisplay, screen) : kWindowWidth;
  const int height = full_screen ? DisplayHeight(SaverDisplay, screen) : kWindowHeight;
  const Window window = XCreateWindow(
      SaverDisplay, root, 0, 0, width, height, 0, visual.depth, InputOutput, visual.visual,
      CWColormap | CWBackPixel | CWBorderPixel | CWOverrideRedirect, &attributes);
  XStoreName(SaverDisplay, window, full_screen ? "Screen Saver" : kTitle);
  XClassHint hint = {const_cast<char*>("quarlo"), const_cast<char*>("Quarlo")};
  XSetClassHint(SaverDisplay, window, &hint);
  return window;
}

// A window another program made: it must exist.
bool Exists(Window window) {
  XWindowAttributes attributes;
  LastXError = 0;
  const Status found = XGetWindowAttributes(SaverDisplay, window, &attributes);
  XSync(SaverDisplay, False);
  return found && LastXError == 0;
}

int32_t RunSaverWindow(const SaverArguments& arguments) {
  SaverDisplay = XOpenDisplay(arguments.display);
  if (!SaverDisplay) {
    const char* name = arguments.display ? arguments.display : XDisplayName(nullptr);
    std::fprintf(stderr, "quarlo: cannot open the display %s\n",
                 *name ? name : "(DISPLAY is not set)");
    return SAVER_EXIT_CANNOT_RUN;
  }
  XSetErrorHandler(NoteXError);
  XSetIOErrorHandler(ServerGone);
  const bool full_screen = arguments.mode == MODE_FULL_SCREEN;
  const bool own = full_screen || arguments.mode == MODE_WINDOW;
  Atom close_request = None;
  if (own) {
    SaverWindow = MakeWindow(full_screen);
    if (!full_screen) {
      close_request = XInternAtom(SaverDisplay, "WM_DELETE_WINDOW", False);
      XSetWMProtocols(SaverDisplay, SaverWindow, &close_request, 1);
    }
  } else {
    SaverWindow = arguments.window ? arguments.window : DefaultRootWindow(SaverDisplay);
    if (!Exists(SaverWindow)) {
      std::fprintf(stderr, "quarlo: no window has the id 0x%lx\n", SaverWindow);
      XCloseDisplay(SaverDisplay);
      return SAVER_EXIT_CANNOT_RUN;
    }
  }
  RunSaverLoop(full_screen, close_request);
  if (own) XDestroyWindow(SaverDisplay, SaverWindow);
  XCloseDisplay(SaverDisplay);
  return SAVER_EXIT_ENDED;
}

}  // namespace

int32_t SaverMain(int argc, char** argv, const char* usage) {
  SaverArguments arguments;
  char error[256];
  if (!ReadSaverArguments(argc, argv, std::getenv("XSCREENSAVER_WINDOW"), &arguments, error,
                          sizeof error)) {
    std::fprintf(stderr, "quarlo: %s\n%s\n", error, usage);
    return SAVER_EXIT_USAGE;
  }
  switch (arguments.mode) {
    case MODE_HELP:
      std::printf("%s\n", usage);
      return SAVER_EXIT_ENDED;
    case MODE_CONFIG:
      return RunConfigDialog(arguments.display);
    case MODE_PASSWORD:
      std::fprintf(stderr, "quarlo: the saver password is the screen locker's business here\n");
      return SAVER_EXIT_CANNOT_RUN;
    default:
      return RunSaverWindow(arguments);
  }
}
