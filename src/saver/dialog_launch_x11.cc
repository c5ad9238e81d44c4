// The settings dialog is a program of its own, so that the saver, which
// XScreenSaver starts for every cycle, never loads GTK: `quarlo -c` becomes
// the dialog program, found beside the running saver.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "shell/saver_shell_x11.h"

namespace {
const char kDialogProgram[] = "quarlo-settings";
}

int32_t RunConfigDialog(const char* display) {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  char* slash = nullptr;
  if (n > 0) {
    path[n] = '\0';
    slash = std::strrchr(path, '/');
  }
  if (!slash || size_t(slash + 1 - path) + sizeof kDialogProgram > sizeof path) {
    SayProblem("cannot tell where the settings dialog is");
    return SAVER_EXIT_CANNOT_RUN;
  }
  std::memcpy(slash + 1, kDialogProgram, sizeof kDialogProgram);
  char display_option[] = "-display";
  char* argv[] = {path, display ? display_option : nullptr, const_cast<char*>(display), nullptr};
  std::fflush(nullptr);
  execv(path, argv);
  SayProblem("cannot start the settings dialog %s: %s", path,
               std::strerror(errno));
  return SAVER_EXIT_CANNOT_RUN;
}
