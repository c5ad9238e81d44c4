// The saver window's event loop on X11: the window's life passed to the
// program's procedure (create, paint, timer, resize, destroy), and in full
// screen the rules that end the saver, counted as on Windows: a key, a
// button, the pointer moved more than 4 pixels from where it was, or the
// focus taken by another window. In full screen each monitor's rectangle is
// a surface of its own, followed through RandR's changes of the screen.
#include <X11/extensions/Xrandr.h>
#include <unistd.h>

#include <cstring>

#include "shell/gl_context_x11.h"
#include "shell/pointer_wake.h"
#include "shell/saver_shell_x11.h"

namespace {

enum { kGrabTries = 40, kGrabRetryMilliseconds = 25 };

int MouseOriginX = 0, MouseOriginY = 0;
// Xwayland learns where the pointer is only when it moves over an X window
// (until then it reports the middle of the screen, for a query and for the
// pointer's entering alike), so there the first move reported is where
// moves count from.
bool HaveMouseOrigin = true;
int RandrEventBase = -1;
// What makes the window seen or not (SaverVisible).
bool WindowMapped = false, HostMapped = true, Obscured = false;
// The monitors' rectangles (X coordinates from the top left) when the
// full-screen window spans more than one; else none.
XRRMonitorInfo* Monitors = nullptr;
int MonitorCount = 0;

// The surfaces: the whole window, or each monitor's part of it.
void UpdateSurfaces() {
  const int count = MonitorCount < kMostSaverSurfaces ? MonitorCount : kMostSaverSurfaces;
  for (int i = 0; i < kMostSaverSurfaces; ++i) {
    if (i < count) {
      const XRRMonitorInfo& m = Monitors[i];
      SetSaverSurface(i, m.x, SaverHeight - m.y - m.height, m.width, m.height, SaverVisible);
    } else {
      SetSaverSurface(i, 0, 0, i == 0 ? SaverWidth : 0, i == 0 ? SaverHeight : 0, SaverVisible);
    }
  }
  SaverSurfaceCount = count > 1 ? count : 1;
}

void UpdateVisible() {
  SaverVisible = WindowMapped && HostMapped && !Obscured;
  UpdateSurfaces();
}

void FindMonitors() {
  int event_base = 0, error_base = 0, major = 0, minor = 0;
  if (!XRRQueryExtension(SaverDisplay, &event_base, &error_base) ||
      !XRRQueryVersion(SaverDisplay, &major, &minor) || major * 100 + minor < 105) {
    return;
  }
  if (RandrEventBase < 0) {  // the screen's changes, from now on
    RandrEventBase = event_base;
    XRRSelectInput(SaverDisplay, DefaultRootWindow(SaverDisplay),
                   RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
  }
  if (Monitors) XRRFreeMonitors(Monitors);
  Monitors = XRRGetMonitors(SaverDisplay, DefaultRootWindow(SaverDisplay), True, &MonitorCount);
  if (MonitorCount < 2 && Monitors) {
    XRRFreeMonitors(Monitors);
    Monitors = nullptr;
  }
  if (!Monitors) MonitorCount = 0;
}

// Drawn whole at the next frame: what was covered shows again.
void Paint() {
  RedrawSaverSurfaces();
  if (PaintSaver() && SaverStartHook) SaverStartHook(SAVER_START_PAINTED);
}

// --- the drawing: one context on the saver window, its surfaces drawn into
// one back buffer and shown together ---

int32_t Drawn[4] = {};

bool MakeContext() { return MakeWindowContext(SaverDisplay, SaverWindow); }
int32_t BeginSurface(int32_t) { return WindowBackBufferAge(SaverWidth, SaverHeight); }
void PresentSurface(int32_t, int32_t x, int32_t y, int32_t width, int32_t height) {
  UniteRect(Drawn, x, y, width, height);
}
void EndFrame() {
  PresentWindowPart(Drawn[0], Drawn[1], Drawn[2], Drawn[3], SaverWidth, SaverHeight);
  Drawn[0] = Drawn[1] = Drawn[2] = Drawn[3] = 0;
}
const SaverDrawing kDrawing = {MakeContext, DropWindowContext, BeginSurface, PresentSurface, EndFrame};

Cursor BlankCursor() {
  static const char nothing[1] = {0};
  const Pixmap empty = XCreateBitmapFromData(SaverDisplay, SaverWindow, nothing, 1, 1);
  XColor black = {};
  const Cursor cursor = XCreatePixmapCursor(SaverDisplay, empty, empty, &black, &black, 0, 0);
  XFreePixmap(SaverDisplay, empty);
  return cursor;
}

// Keyboard and pointer to the saver, so that input ends it wherever it goes;
// another program may hold a grab for a moment.
void GrabInput(Cursor cursor) {
  bool keyboard = false, pointer = false;
  for (int tries = 0; tries < kGrabTries && !(keyboard && pointer); ++tries) {
    if (tries) usleep(kGrabRetryMilliseconds * 1000);
    keyboard = keyboard || XGrabKeyboard(SaverDisplay, SaverWindow, True, GrabModeAsync,
                                         GrabModeAsync, CurrentTime) == GrabSuccess;
    pointer = pointer ||
              XGrabPointer(SaverDisplay, SaverWindow, True,
                           ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                           GrabModeAsync, None, cursor, CurrentTime) == GrabSuccess;
  }
  XSetInputFocus(SaverDisplay, SaverWindow, RevertToParent, CurrentTime);
}

// A focus lost ends a full-screen saver when another window took it. A
// server may take back a focus it never gave: Xwayland sets it to none
// when the compositor keeps the keyboard for a Wayland surface, and the
// saver never held it.
bool FocusTakenByAnother() {
  Window focus = None;
  int revert = 0;
  XGetInputFocus(SaverDisplay, &focus, &revert);
  return focus != None && focus != PointerRoot && focus != SaverWindow;
}

// A mode, a scale or a monitor changed: the window covers the screen as it
// is now, each monitor drawn at its present rectangle.
void FollowScreenChange(XEvent* event) {
  XRRUpdateConfiguration(event);
  const int screen = DefaultScreen(SaverDisplay);
  XMoveResizeWindow(SaverDisplay, SaverWindow, 0, 0, DisplayWidth(SaverDisplay, screen),
                    DisplayHeight(SaverDisplay, screen));
  FindMonitors();
  UpdateSurfaces();
}

// Xwayland names its outputs XWAYLAND0, XWAYLAND1, ...
bool OnXwayland() {
  int event_base = 0, error_base = 0;
  if (!XRRQueryExtension(SaverDisplay, &event_base, &error_base)) return false;
  XRRScreenResources* resources =
      XRRGetScreenResourcesCurrent(SaverDisplay, DefaultRootWindow(SaverDisplay));
  bool found = false;
  for (int i = 0; resources && i < resources->noutput && !found; ++i) {
    if (XRROutputInfo* output = XRRGetOutputInfo(SaverDisplay, resources, resources->outputs[i])) {
      found = std::strncmp(output->name, "XWAYLAND", 8) == 0;
      XRRFreeOutputInfo(output);
    }
  }
  if (resources) XRRFreeScreenResources(resources);
  return found;
}

// The first place the pointer is reported at, where none was known.
bool TakeMouseOrigin(int x, int y) {
  if (HaveMouseOrigin) return false;
  MouseOriginX = x;
  MouseOriginY = y;
  HaveMouseOrigin = true;
  return true;
}

// The input rules of a full-screen saver.
bool InputEndsSaver(const XEvent& event) {
  switch (event.type) {
    case KeyPress:
    case ButtonPress:
      return true;
    case MotionNotify: {
      const XMotionEvent& m = event.xmotion;
      if (TakeMouseOrigin(m.x_root, m.y_root)) return false;
      if (!PointerMoveWakes(m.x_root, m.y_root, MouseOriginX, MouseOriginY)) return false;
      MouseOriginX = m.x_root;
      MouseOriginY = m.y_root;
      return true;
    }
    case FocusOut:  // the focus gone elsewhere; not the moves of our own grabs and focus
      return (event.xfocus.mode == NotifyNormal || event.xfocus.mode == NotifyWhileGrabbed) &&
             event.xfocus.detail != NotifyPointer && event.xfocus.detail != NotifyInferior &&
             FocusTakenByAnother();
    default:
      return false;
  }
}

// One event of the window that covers a host's; true when it ends the run.
bool HandleHostEvent(const XEvent& event) {
  switch (event.type) {
    case ConfigureNotify:  // the cover follows the host's size
      XResizeWindow(SaverDisplay, SaverWindow, event.xconfigure.width, event.xconfigure.height);
      return false;
    case MapNotify:
    case UnmapNotify:
      HostMapped = event.type == MapNotify;
      UpdateVisible();
      return false;
    default:
      return event.type == DestroyNotify;
  }
}

// One event of the saver window; true when it ends the run.
bool HandleEvent(XEvent& event, bool ends_on_input, Atom close_request, Cursor cursor) {
  if (RandrEventBase >= 0 && (event.type == RandrEventBase + RRScreenChangeNotify ||
                              event.type == RandrEventBase + RRNotify)) {
    FollowScreenChange(&event);
    return false;
  }
  if (SaverHost && event.xany.window == SaverHost) return HandleHostEvent(event);
  if (event.xany.window != SaverWindow) return false;
  switch (event.type) {
    case Expose:
      if (event.xexpose.count == 0) Paint();
      return false;
    case ConfigureNotify:
      SaverWidth = event.xconfigure.width;
      SaverHeight = event.xconfigure.height;
      UpdateSurfaces();
      return false;
    case MapNotify:
      WindowMapped = true;
      UpdateVisible();
      if (ends_on_input) GrabInput(cursor);
      return false;
    case UnmapNotify:
      WindowMapped = false;
      UpdateVisible();
      return false;
    case VisibilityNotify:
      Obscured = event.xvisibility.state == VisibilityFullyObscured;
      UpdateVisible();
      return false;
    case DestroyNotify:
      return true;  // the host took its window away
    case ClientMessage:
      return close_request != None && Atom(event.xclient.data.l[0]) == close_request;
    default:
      return ends_on_input && InputEndsSaver(event);
  }
}

// Sizes and map states as they are now; false when the window (or the
// host it covers) has gone away already.
bool MeasureWindows() {
  XWindowAttributes attributes;
  if (SaverHost) {
    if (!XGetWindowAttributes(SaverDisplay, SaverHost, &attributes)) return false;
    HostMapped = attributes.map_state != IsUnmapped;
  }
  if (!XGetWindowAttributes(SaverDisplay, SaverWindow, &attributes)) return false;
  SaverWidth = attributes.width;
  SaverHeight = attributes.height;
  WindowMapped = attributes.map_state != IsUnmapped;
  UpdateVisible();
  return true;
}

}  // namespace

void RunSaverLoop(bool ends_on_input, Atom close_request, bool own_window) {
  CatchEndingSignals();
  if (ends_on_input && own_window) FindMonitors();
  long mask = StructureNotifyMask | ExposureMask | VisibilityChangeMask;
  if (ends_on_input) mask |= KeyPressMask | ButtonPressMask | PointerMotionMask | FocusChangeMask;
  XSelectInput(SaverDisplay, SaverWindow, mask);
  if (!MeasureWindows()) return;
  if (SaverStartHook) SaverStartHook(SAVER_START_MEASURED);
  Window root_ignored, child_ignored;
  int x_ignored, y_ignored;
  unsigned buttons_ignored;
  XQueryPointer(SaverDisplay, SaverWindow, &root_ignored, &child_ignored, &MouseOriginX,
                &MouseOriginY, &x_ignored, &y_ignored, &buttons_ignored);
  HaveMouseOrigin = !ends_on_input || !OnXwayland();
  const Cursor cursor = ends_on_input ? BlankCursor() : None;
  if (cursor != None) XDefineCursor(SaverDisplay, SaverWindow, cursor);

  SaverDrawingInUse = &kDrawing;
  CubeSaverProc(SAVER_CREATE);
  if (SaverStartHook) SaverStartHook(SAVER_START_CREATED);
  if (own_window) {
    XMapRaised(SaverDisplay, SaverWindow);
  } else {
    Paint();  // a foreign window may have shown itself long ago
  }
  for (bool ended = false; !ended;) {
    while (!ended && XPending(SaverDisplay)) {
      XEvent event;
      XNextEvent(SaverDisplay, &event);
      ended = HandleEvent(event, ends_on_input, close_request, cursor);
    }
    if (ended || SignalArrived()) break;
    if (SaverTimerDue()) {
      CubeSaverProc(SAVER_TIMER);
      XFlush(SaverDisplay);
      continue;
    }
    WaitForEvents(ConnectionNumber(SaverDisplay), MillisecondsToTick());
  }
  DestroySaver();
  if (ends_on_input) {
    XUngrabKeyboard(SaverDisplay, CurrentTime);
    XUngrabPointer(SaverDisplay, CurrentTime);
  }
  if (cursor != None) XFreeCursor(SaverDisplay, cursor);
  if (Monitors) XRRFreeMonitors(Monitors);
  Monitors = nullptr;
  MonitorCount = 0;
  RandrEventBase = -1;
}
