// A host window that goes away at any step of the saver's start ends the
// saver with 0; it never leaves the saver waiting for ever.
#include <gtest/gtest.h>  // before Xlib, whose None macro it would trip over
#include <X11/Xlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "shell/saver_shell_x11.h"

namespace {

Window Host = 0;
int32_t DestroyAt = 0;

void DestroyHost(SaverStartStep step) {
  if (step != DestroyAt) return;
  Display* other = XOpenDisplay(nullptr);
  XDestroyWindow(other, Host);
  XCloseDisplay(other);  // sends it, and waits for the server to have done it
}

// The saver's exit code; a saver still running after 20 s dies of SIGALRM.
int RunSaverInChild(int32_t step) {
  const pid_t child = fork();
  if (child == 0) {
    alarm(20);
    DestroyAt = step;
    SaverStartHook = DestroyHost;
    char program[] = "quarlo", option[] = "-window-id", id[32];
    std::snprintf(id, sizeof id, "%lu", Host);
    char* argv[] = {program, option, id, nullptr};
    _exit(SaverMain(3, argv, "usage"));
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
    EXPECT_EQ(RunSaverInChild(step), 0) << "the window went away at step " << step;
  }
  XCloseDisplay(display);
}

}  // namespace
