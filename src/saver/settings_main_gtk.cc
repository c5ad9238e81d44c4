// The settings dialog's own program, which `quarlo -c` runs: GTK is loaded
// here and nowhere in the saver. Its exit code is the dialog's result.
#include <cstdio>

#include "saver/settings_preview.h"
#include "settings/dialog_gtk.h"
#include "shell/saver_arguments.h"
#include "shell/saver_shell_x11.h"

int main(int argc, char** argv) {
  const char* display = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (IsOption(argv[i], "display") && i + 1 < argc) {
      display = argv[++i];
    } else {
      std::fprintf(stderr, "quarlo-settings: unknown argument: %s\nusage: quarlo-settings [-display NAME]\n",
                   argv[i]);
      return SAVER_EXIT_USAGE;
    }
  }
  SetConfigDialogPreview(ShowPreview());
  return RunConfigDialog(display);
}
