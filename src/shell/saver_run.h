// What the two Linux front ends (X11 and Wayland) share: the saver window's
// life as messages to the program's procedure, the surfaces a frame is drawn
// on, the 50 ms timer and the signals that end a run.
#pragma once

#include <cstdint>

// The exit codes, one for each cause in every mode; -1 is what the Windows
// saver's switches give when their mode can't run.
enum SaverExitCode : int32_t {
  SAVER_EXIT_ENDED = 0,       // the saver ran and ended; the dialog's Cancel; --help
  SAVER_EXIT_ACCEPTED = 1,    // the dialog's OK
  SAVER_EXIT_USAGE = 2,       // the command line can't be read
  SAVER_EXIT_CANNOT_RUN = -1, // no display, no such window, no dialog, -a
};

// The saver's own window, the same on both front ends.
extern const char kSaverTitle[];  // "Quarlo's Cube"
extern const char kSaverAppId[];  // its Wayland app id and X class name
enum : int32_t { kSaverWindowWidth = 800, kSaverWindowHeight = 600 };

// Says a problem on stderr, as one line that starts "quarlo: ".
void SayProblem(const char* format, ...) __attribute__((format(printf, 1, 2)));

// What happens to the saver's surfaces, in the order a run sees them.
enum SaverMessage : int32_t {
  SAVER_CREATE,   // the surfaces are coming: load what needs no drawing yet
  SAVER_PAINT,    // once, when a surface can first be drawn into
  SAVER_TIMER,    // the timer set with SetSaverTimer
  SAVER_DESTROY,  // the run ends: take everything down
};

// The program's procedure; both front ends call it.
void CubeSaverProc(SaverMessage message);
// Called after each SAVER_TIMER's tick, where tests slow the ticks down or
// count them. Null in the saver.
extern void (*SaverTickHook)();
// SAVER_PAINT, the first time a run calls it; and SAVER_DESTROY, which
// makes ready for another run.
bool PaintSaver();  // true the first time
void DestroySaver();

// One surface the show is drawn on: an X window (or one monitor's part of
// it), or a Wayland output's surface. Its front end keeps it up to date.
struct SaverSurface {
  int32_t x, y, width, height;  // pixels of its drawable, from the bottom left; 0 wide: none
  int32_t seen;                 // unseen surfaces are not drawn
  int32_t redraw;               // what its buffers hold is unknown: the next frame is drawn whole
  int32_t scale;                // its pixels to a point of the screen (1, 2, ...; 0 as 1)
};
// Every monitor of a real setup: 64 outputs, and one window.
enum { kMostSaverSurfaces = 65 };
extern SaverSurface SaverSurfaces[kMostSaverSurfaces];
extern int32_t SaverSurfaceCount;  // slots in use
// Surface i as its front end finds it now: moved, resized or seen again, it
// is drawn whole at the next frame; none (0 wide) past the last one in use.
void SetSaverSurface(int32_t i, int32_t x, int32_t y, int32_t width, int32_t height, int32_t seen);
void RedrawSaverSurfaces();  // all of them, as after an expose
// rect (x, y, width, height) and another together: their bounds.
void UniteRect(int32_t rect[4], int32_t x, int32_t y, int32_t width, int32_t height);

// What a locker shows over the show on every surface: nothing until a key
// is pressed, then whose session is locked, a mark for each character typed
// (never the characters), Caps Lock when on, and whether the password is
// being checked or was wrong; nothing again 10 s after the last key.
struct SaverLockView {
  int32_t shown;
  int32_t marks;
  int32_t caps_lock;
  int32_t checking;
  int32_t wrong;
  const char* user;
};
extern SaverLockView SaverLockShown;
// The exit code of a run that a signal ends (0 but for a lock, which a
// signal never opens).
extern int32_t SaverSignalExit;

// A front end's drawing: one context for all its surfaces, made current on
// each in turn. Each front end hands the program its own before SAVER_CREATE.
struct SaverDrawing {
  bool (*make_context)();  // false, having said why: nothing can be drawn
  void (*drop_context)();  // the lists and textures go with it
  // The context current on surface i; the age of its back buffer in frames
  // (0: unknown), or -1 when it can't be drawn on now.
  int32_t (*begin_surface)(int32_t i);
  // What was drawn on surface i this frame (nothing: 0 wide).
  void (*present_surface)(int32_t i, int32_t x, int32_t y, int32_t width, int32_t height);
  void (*end_frame)();  // after every surface had its turn
};
extern const SaverDrawing* SaverDrawingInUse;

// Sleeps until `fd` has something to read, a signal comes or `timeout`
// milliseconds (-1: for ever) have passed; whether `fd` has.
bool WaitForEvents(int fd, int32_t timeout);

// One periodic timer, as the Windows saver's SetTimer and KillTimer: ticks
// come every period from a monotonic clock, never in a burst after a stall;
// a period of 0 gives a tick every time round the loop.
void SetSaverTimer(uint32_t period_us);
void KillSaverTimer();
// True once per period when the timer runs; the next deadline moves on.
bool SaverTimerDue();
// How long a loop may sleep before the next tick: milliseconds, -1 for ever.
int32_t MillisecondsToTick();

// SIGTERM and SIGINT end a run: they are noted on a pipe whose read end a
// loop polls (-1 when it can't be made), and asked after with SignalArrived.
// A run that hasn't ended a second after the signal (a call that waits on a
// compositor that doesn't answer) is ended there and then, with
// SaverSignalExit (0, or 255 for a lock: a signal opens nothing).
int SaverSignalFd();
void CatchEndingSignals();
bool SignalArrived();

// The program ends the run from inside a message, with an exit code (a
// context that can't be made where nothing can show the run); the loops
// ask after it.
void EndSaverRun(int32_t exit_code);
bool SaverRunEnding(int32_t* exit_code);
