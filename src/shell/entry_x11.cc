// The saver's entry on Linux: the command line picks one mode, and -s and
// -window the display system (a Wayland compositor when one answers); the
// X11 saver modes find or make the window to draw into and run the loop.
#include <X11/Xatom.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "quarlo_version.h"
#include "shell/gl_context_x11.h"
#include "shell/saver_arguments.h"
#include "shell/saver_shell_wayland.h"
#include "shell/saver_shell_x11.h"

Display* SaverDisplay = nullptr;
Window SaverWindow = 0;
int32_t SaverWidth = 0;
int32_t SaverHeight = 0;
int32_t SaverVisible = 0;
Window SaverHost = 0;
void (*SaverStartHook)(SaverStartStep step) = nullptr;

namespace {


// X errors are not fatal to a saver: a window that goes away while a frame
// is drawn gives one, and its DestroyNotify ends the run cleanly.
int LastXError = 0;
int NoteXError(Display*, XErrorEvent* event) {
  LastXError = event->error_code;
  return 0;
}
// The server itself gone: nothing is left to draw on.
int ServerGone(Display*) { _exit(0); }

// A window in the saver's visual: full screen or an ordinary one on the
// root, or a child that covers a host window whose visual won't do.
Window MakeWindow(Window parent, int x, int y, int width, int height, bool full_screen,
                  const SaverVisualRequest& request) {
  const int screen = DefaultScreen(SaverDisplay);
  XVisualInfo visual;
  if (!ChooseWindowVisual(SaverDisplay, screen, request, &visual)) {
    visual.visual = DefaultVisual(SaverDisplay, screen);
    visual.depth = DefaultDepth(SaverDisplay, screen);
  }
  XSetWindowAttributes attributes = {};
  attributes.colormap = XCreateColormap(SaverDisplay, RootWindow(SaverDisplay, screen),
                                        visual.visual, AllocNone);
  attributes.background_pixel = BlackPixel(SaverDisplay, screen);
  attributes.border_pixel = 0;
  attributes.override_redirect = full_screen;
  return XCreateWindow(SaverDisplay, parent, x, y, width, height, 0, visual.depth, InputOutput,
                       visual.visual, CWColormap | CWBackPixel | CWBorderPixel | CWOverrideRedirect,
                       &attributes);
}

// The saver's own window: the whole screen, or -window's at the size and
// place -geometry gives (the window manager is told they were asked for).
Window MakeOwnWindow(bool full_screen, const SaverArguments& arguments) {
  const int screen = DefaultScreen(SaverDisplay);
  const int screen_width = DisplayWidth(SaverDisplay, screen);
  const int screen_height = DisplayHeight(SaverDisplay, screen);
  const SaverGeometry& g = arguments.geometry;
  XSizeHints hints = {};
  hints.width = full_screen ? screen_width : g.has_size ? g.width : kSaverWindowWidth;
  hints.height = full_screen ? screen_height : g.has_size ? g.height : kSaverWindowHeight;
  if (!full_screen && g.has_place) {
    hints.x = g.x_from_right ? screen_width - hints.width - g.x : g.x;
    hints.y = g.y_from_bottom ? screen_height - hints.height - g.y : g.y;
    hints.flags |= USPosition;
  }
  if (!full_screen && g.has_size) hints.flags |= USSize;
  const Window window = MakeWindow(RootWindow(SaverDisplay, screen), hints.x, hints.y, hints.width,
                                   hints.height, full_screen, arguments.visual);
  if (hints.flags) XSetWMNormalHints(SaverDisplay, window, &hints);
  XStoreName(SaverDisplay, window, full_screen ? "Screen Saver" : kSaverTitle);
  XClassHint hint = {const_cast<char*>(kSaverAppId), const_cast<char*>("Quarlo")};
  XSetClassHint(SaverDisplay, window, &hint);
  return window;
}

// A window another program made. Its going away is heard of from before it
// is looked at, so it can't slip away unnoticed between the two; false when
// it is not there.
bool FindHostWindow(Window window, XWindowAttributes* attributes) {
  LastXError = 0;
  XSelectInput(SaverDisplay, window, StructureNotifyMask);
  const Status found = XGetWindowAttributes(SaverDisplay, window, attributes);
  XSync(SaverDisplay, False);
  return found && LastXError == 0;
}

// Whether -s or -window runs on Wayland: when asked to, or when a
// compositor answers and no X display was named.
bool WaylandFirst(const SaverArguments& arguments) {
  const bool either = arguments.mode == MODE_FULL_SCREEN || arguments.mode == MODE_WINDOW ||
                      arguments.mode == MODE_LOCK;
  return arguments.choice == DISPLAY_WAYLAND ||
         (either && arguments.choice == DISPLAY_ANY && !arguments.display);
}

// The session's compositor, as libwayland finds it; none without a place to
// look (libwayland would complain of the missing XDG_RUNTIME_DIR).
wl_display* ConnectWayland() {
  const char* name = std::getenv("WAYLAND_DISPLAY");
  const bool named = std::getenv("WAYLAND_SOCKET") || (name && name[0] == '/');
  return named || std::getenv("XDG_RUNTIME_DIR") ? wl_display_connect(nullptr) : nullptr;
}

int32_t RunSaverWindow(const SaverArguments& arguments) {
  SaverDisplay = XOpenDisplay(arguments.display);
  if (!SaverDisplay) {
    const char* name = arguments.display ? arguments.display : XDisplayName(nullptr);
    SayProblem("cannot open the display %s%s",
                 *name ? name : "(DISPLAY is not set)",
                 WaylandFirst(arguments) ? ", and no Wayland compositor answers" : "");
    return SAVER_EXIT_CANNOT_RUN;
  }
  XSetErrorHandler(NoteXError);
  XSetIOErrorHandler(ServerGone);
  if (arguments.sync) XSynchronize(SaverDisplay, True);
  const bool full_screen = arguments.mode == MODE_FULL_SCREEN;
  const bool own = full_screen || arguments.mode == MODE_WINDOW;
  Atom close_request = None;
  if (own) {
    SaverWindow = MakeOwnWindow(full_screen, arguments);
    if (!full_screen) {
      close_request = XInternAtom(SaverDisplay, "WM_DELETE_WINDOW", False);
      XSetWMProtocols(SaverDisplay, SaverWindow, &close_request, 1);
    }
  } else {
    const Window given = arguments.window ? arguments.window : DefaultRootWindow(SaverDisplay);
    XWindowAttributes host;
    if (!FindHostWindow(given, &host)) {
      SayProblem("no window has the id 0x%lx", given);
      XCloseDisplay(SaverDisplay);
      return SAVER_EXIT_CANNOT_RUN;
    }
    SaverWindow = given;
    if (!VisualSuitsDrawing(SaverDisplay, host.visual)) {
      SaverHost = given;
      SaverWindow = MakeWindow(given, 0, 0, host.width, host.height, false, arguments.visual);
    }
    if (SaverStartHook) SaverStartHook(SAVER_START_FOUND);
  }
  const bool made = own || SaverHost;
  RunSaverLoop(full_screen, close_request, made);
  if (made) XDestroyWindow(SaverDisplay, SaverWindow);  // a child may be gone with its host
  XCloseDisplay(SaverDisplay);
  return SAVER_EXIT_ENDED;
}

// -lock -f: the lock runs in a child; this process ends with 0 once the
// session is locked (an idle manager waits for that before the machine
// sleeps), or with the child's code when it ends first. The child lets go
// of the caller's input and output (its stderr once the session is locked),
// so that nothing reading them waits for the unlock.
int32_t LockInBackground(SaverArguments arguments) {
  int locked[2];
  std::fflush(nullptr);
  const pid_t child = pipe(locked) == 0 ? fork() : -2;
  if (child == 0) {
    close(locked[0]);
    setsid();
    const int quiet = open("/dev/null", O_RDWR);
    if (quiet >= 0) {
      dup2(quiet, STDIN_FILENO);
      dup2(quiet, STDOUT_FILENO);
      if (quiet > STDERR_FILENO) close(quiet);
    }
    arguments.background = false;
    wl_display* wayland = ConnectWayland();
    if (!wayland) {
      SayProblem("no Wayland compositor answers to lock");
      _exit(SAVER_EXIT_CANNOT_RUN & 0xFF);
    }
    const int32_t code = RunWaylandSaver(wayland, arguments, locked[1]);
    _exit(code & 0xFF);
  }
  if (child < 0) {
    SayProblem("can't go to the background: %s", std::strerror(errno));
    if (child == -1) {  // the pipe was made
      close(locked[0]);
      close(locked[1]);
    }
    return SAVER_EXIT_CANNOT_RUN;
  }
  close(locked[1]);
  char byte = 0;
  ssize_t got = 0;
  while ((got = read(locked[0], &byte, 1)) < 0 && errno == EINTR) {
  }
  close(locked[0]);
  if (got == 1) return SAVER_EXIT_ENDED;
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? int32_t(int8_t(WEXITSTATUS(status))) : int32_t(SAVER_EXIT_CANNOT_RUN);
}

}  // namespace

int32_t SaverMain(int argc, char** argv, const char* usage) {
  SaverArguments arguments;
  char error[256];
  if (!ReadSaverArguments(argc, argv, std::getenv("XSCREENSAVER_WINDOW"), &arguments, error,
                          sizeof error)) {
    SayProblem("%s\n%s", error, usage);
    return SAVER_EXIT_USAGE;
  }
  switch (arguments.mode) {
    case MODE_HELP:
      std::printf("%s\n", usage);
      return SAVER_EXIT_ENDED;
    case MODE_VERSION:
      std::printf("quarlo %s\n", QUARLO_VERSION);
      return SAVER_EXIT_ENDED;
    case MODE_CONFIG:
      return RunConfigDialog(arguments.display);
    case MODE_PASSWORD:
      SayProblem("the saver password is the screen locker's business here");
      return SAVER_EXIT_CANNOT_RUN;
    default:
      break;
  }
  if (arguments.mode == MODE_LOCK && arguments.background) return LockInBackground(arguments);
  if (WaylandFirst(arguments)) {
    if (wl_display* wayland = ConnectWayland()) return RunWaylandSaver(wayland, arguments, -1);
    if (arguments.choice == DISPLAY_WAYLAND || arguments.mode == MODE_LOCK) {
      const char* name = std::getenv("WAYLAND_DISPLAY");
      SayProblem("no Wayland compositor answers at %s",
                   name && *name ? name : "wayland-0 (WAYLAND_DISPLAY is not set)");
      return SAVER_EXIT_CANNOT_RUN;
    }
  }
  return RunSaverWindow(arguments);
}
