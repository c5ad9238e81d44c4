// The saver's run in process: a host window that goes away at any step of
// the start ends the saver with 0, never leaving it waiting for ever; and
// the show's ticks come no oftener than every 50 ms (to the millisecond
// the clock is read in).
#include <gtest/gtest.h>  // before Xlib, whose None macro it would trip over
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "saver/cube_window.h"
#include "shell/saver_run.h"
#include "shell/saver_shell_x11.h"

namespace {

Window Host = 0;
int32_t DestroyAt = 0;
int TickPipe = -1;
int64_t StartMs = 0;

int64_t NowMs() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return int64_t{now.tv_sec} * 1000 + now.tv_nsec / 1000000;
}

void DestroyHost(SaverStartStep step) {
  if (step != DestroyAt) return;
  Display* other = XOpenDisplay(nullptr);
  XDestroyWindow(other, Host);
  XCloseDisplay(other);  // sends it, and waits for the server to have done it
}

// Counts the ticks; 1.5 s after the start it sends the count and the time
// up the pipe and ends the run.
void CountTick() {
  static int64_t ticks = 0;
  const int64_t counted[2] = {++ticks, NowMs() - StartMs};
  if (counted[1] < 1500 || TickPipe < 0) return;
  if (write(TickPipe, counted, sizeof counted) != sizeof counted) _exit(3);
  TickPipe = -1;
  kill(getpid(), SIGTERM);
}

// SaverMain with these arguments in a child, after `before`; its exit code.
// A saver still running after 20 s dies of SIGALRM.
int RunSaverInChild(std::string a, std::string b, const std::function<void()>& before) {
  const pid_t child = fork();
  if (child == 0) {
    alarm(20);
    before();
    char program[] = "quarlo";
    char* argv[] = {program, &a[0], b.empty() ? nullptr : &b[0], nullptr};
    _exit(SaverMain(b.empty() ? 2 : 3, argv, "usage"));
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

TEST(SaverStartTest, AHostWindowGoneAtAnyStepEndsTheSaverWith0) {
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  for (int32_t step = SAVER_START_FOUND; step <= SAVER_START_PAINTED; ++step) {
    Host = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 150, 0, 0, 0);
    XMapWindow(display, Host);
    XSync(display, False);
    const int code = RunSaverInChild("-window-id", std::to_string(Host), [step] {
      DestroyAt = step;
      SaverStartHook = DestroyHost;
    });
    EXPECT_EQ(code, 0) << "the window went away at step " << step;
  }
  XCloseDisplay(display);
}

// A periodic timer may run late but never early: the n-th tick comes at
// least n periods after the start: 50 ms, or the pause -delay gives.
TEST(SaverRunTest, TicksComeNoOftenerThanTheirPeriod) {
  for (const int32_t delay_us : {-1, 100000}) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const int code = RunSaverInChild("-window", "", [&] {
      TickPipe = fds[1];
      StartMs = NowMs();
      SaverTickHook = CountTick;
      CommandLineSettings.delay_us = delay_us;
    });
    close(fds[1]);
    int64_t counted[2] = {0, 0};
    EXPECT_EQ(read(fds[0], counted, sizeof counted), ssize_t(sizeof counted));
    close(fds[0]);
    EXPECT_EQ(code, 0);
    const int64_t period_ms = delay_us < 0 ? 50 : delay_us / 1000;
    EXPECT_GE(counted[0], 2);
    EXPECT_LE(counted[0] * period_ms, counted[1] + 1) << counted[0] << " ticks in " << counted[1] << " ms";
  }
}

}  // namespace
