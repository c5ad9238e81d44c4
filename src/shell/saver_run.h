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

// What happens to the saver's surfaces, in the order a run sees them.
enum SaverMessage : int32_t {
  SAVER_CREATE,   // the surfaces are coming: load what needs no drawing yet
  SAVER_PAINT,    // a surface can be drawn into (the first expose or configure; at once for a foreign window)
  SAVER_TIMER,    // the timer set with SetSaverTimer
  SAVER_RESIZE,   // a surface's size has changed
  SAVER_DESTROY,  // the run ends: take everything down
};

// The program's procedure; both front ends call it.
void CubeSaverProc(SaverMessage message);

// Which front end runs, set before the procedure first sees a message.
enum SaverFrontEnd : int32_t { FRONT_END_X11, FRONT_END_WAYLAND };
extern SaverFrontEnd SaverFrontEndInUse;

// A rectangle that shows the show, in pixels of its drawable counted from the
// bottom left: an X window (or one monitor's part of it), or a Wayland
// output's surface (its buffer pixels). A slot whose width is 0 shows
// nothing (an output not configured yet, or gone).
struct SaverSurface {
  int32_t x, y, width, height;
  int32_t visible;  // unseen surfaces are not drawn
};
// Every monitor of a real setup: 64 outputs, and one window.
enum { kMostSaverSurfaces = 65 };
extern SaverSurface SaverSurfaces[kMostSaverSurfaces];
extern int32_t SaverSurfaceCount;  // slots in use

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
// compositor that doesn't answer) is ended there and then, with 0.
int SaverSignalFd();
void CatchEndingSignals();
bool SignalArrived();

// The program ends the run from inside a message, with an exit code (a
// context that can't be made where nothing can show the run); the loops
// ask after it.
void EndSaverRun(int32_t exit_code);
bool SaverRunEnding(int32_t* exit_code);
