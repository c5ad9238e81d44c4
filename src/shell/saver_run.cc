// The timer and the ending signals of both Linux front ends' loops.
#include "shell/saver_run.h"

#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <ctime>

SaverFrontEnd SaverFrontEndInUse = FRONT_END_X11;
SaverSurface SaverSurfaces[kMostSaverSurfaces] = {};
int32_t SaverSurfaceCount = 0;

namespace {

bool TimerSet = false;
int64_t TimerPeriod = 0;  // nanoseconds
int64_t NextTick = 0;     // nanoseconds on the monotonic clock
int SignalPipe[2] = {-1, -1};
timer_t Deadline;
bool HaveDeadline = false;
bool EndAsked = false;
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

void DeadlinePassed(int) { _exit(0); }

}  // namespace

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
