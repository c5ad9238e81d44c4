// The timer and the ending signals of both Linux front ends' loops.
#include "shell/saver_run.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <ctime>

const char kSaverTitle[] = "Quarlo's Cube";
const char kSaverAppId[] = "quarlo";
SaverSurface SaverSurfaces[kMostSaverSurfaces] = {};
int32_t SaverSurfaceCount = 0;
const SaverDrawing* SaverDrawingInUse = nullptr;
void (*SaverTickHook)() = nullptr;
SaverLockView SaverLockShown = {};
int32_t SaverSignalExit = SAVER_EXIT_ENDED;

namespace {

bool TimerSet = false;
int64_t TimerPeriod = 0;  // nanoseconds
int64_t NextTick = 0;     // nanoseconds on the monotonic clock
int SignalPipe[2] = {-1, -1};
timer_t Deadline;
bool HaveDeadline = false;
bool EndAsked = false;
bool Painted = false;
int32_t EndCode = 0;

int64_t Now() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}

void NoteSignal(int) {
  const char byte = 0;
  const ssize_t ignored = write(SignalPipe[1], &byte, 1);  // a full pipe already says it
  (void)ignored;
  if (HaveDeadline) {
    itimerspec second = {};
    second.it_value.tv_sec = 1;
    timer_settime(Deadline, 0, &second, nullptr);
  }
}

void DeadlinePassed(int) { _exit(SaverSignalExit); }

}  // namespace

void SayProblem(const char* format, ...) {
  char line[512];
  va_list values;
  va_start(values, format);
  std::vsnprintf(line, sizeof line, format, values);
  va_end(values);
  std::fprintf(stderr, "quarlo: %s\n", line);
}

void SetSaverSurface(int32_t i, int32_t x, int32_t y, int32_t width, int32_t height, int32_t seen) {
  SaverSurface& s = SaverSurfaces[i];
  const bool moved = x != s.x || y != s.y || width != s.width || height != s.height;
  if (moved || (seen && !s.seen)) s.redraw = 1;
  s.x = x, s.y = y, s.width = width, s.height = height, s.seen = seen;
  if (width > 0 && i >= SaverSurfaceCount) SaverSurfaceCount = i + 1;
}

void RedrawSaverSurfaces() {
  for (SaverSurface& s : SaverSurfaces) s.redraw = 1;
}

void UniteRect(int32_t rect[4], int32_t x, int32_t y, int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return;
  if (rect[2] <= 0 || rect[3] <= 0) {
    rect[0] = x, rect[1] = y, rect[2] = width, rect[3] = height;
    return;
  }
  const int32_t right = rect[0] + rect[2] > x + width ? rect[0] + rect[2] : x + width;
  const int32_t top = rect[1] + rect[3] > y + height ? rect[1] + rect[3] : y + height;
  rect[0] = rect[0] < x ? rect[0] : x;
  rect[1] = rect[1] < y ? rect[1] : y;
  rect[2] = right - rect[0];
  rect[3] = top - rect[1];
}

bool PaintSaver() {
  if (Painted) return false;
  Painted = true;
  CubeSaverProc(SAVER_PAINT);
  return true;
}

void DestroySaver() {
  CubeSaverProc(SAVER_DESTROY);
  Painted = EndAsked = false;
}

bool WaitForEvents(int fd, int32_t timeout) {
  pollfd waits[2] = {{fd, POLLIN, 0}, {SaverSignalFd(), POLLIN, 0}};
  int ready = 0;
  while ((ready = poll(waits, SaverSignalFd() >= 0 ? 2 : 1, timeout)) < 0 && errno == EINTR) {
  }
  return ready > 0 && (waits[0].revents & (POLLIN | POLLHUP | POLLERR));
}

void SetSaverTimer(uint32_t period_us) {
  TimerSet = true;
  TimerPeriod = int64_t{period_us} * 1000;
  NextTick = Now() + TimerPeriod;
}

void KillSaverTimer() { TimerSet = false; }

bool SaverTimerDue() {
  if (!TimerSet || Now() < NextTick) return false;
  NextTick += TimerPeriod;
  const int64_t now = Now();
  if (NextTick <= now) NextTick = now + TimerPeriod;  // no burst after a stall
  return true;
}

int32_t MillisecondsToTick() {
  if (!TimerSet) return -1;
  const int64_t left = NextTick - Now();
  return left <= 0 ? 0 : int32_t((left + 999999) / 1000000);
}

int SaverSignalFd() { return SignalPipe[0]; }

void CatchEndingSignals() {
  if (SignalPipe[0] < 0 && pipe(SignalPipe) != 0) return;
  if (!HaveDeadline) {
    struct sigaction passed = {};
    passed.sa_handler = DeadlinePassed;
    sigemptyset(&passed.sa_mask);
    sigaction(SIGRTMIN, &passed, nullptr);
    sigevent event = {};
    event.sigev_notify = SIGEV_SIGNAL;
    event.sigev_signo = SIGRTMIN;
    HaveDeadline = timer_create(CLOCK_MONOTONIC, &event, &Deadline) == 0;
  }
  struct sigaction action = {};
  action.sa_handler = NoteSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

bool SignalArrived() {
  pollfd signal = {SignalPipe[0], POLLIN, 0};
  return SignalPipe[0] >= 0 && poll(&signal, 1, 0) > 0;
}

void EndSaverRun(int32_t exit_code) {
  EndAsked = true;
  EndCode = exit_code;
}

bool SaverRunEnding(int32_t* exit_code) {
  if (EndAsked) *exit_code = EndCode;
  return EndAsked;
}
