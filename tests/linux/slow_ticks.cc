// The saver on a machine too slow for its tick: every show tick takes 80 ms
// longer than the 50 ms between ticks.
#include <time.h>

#include "shell/saver_run.h"

namespace {
void SlowDown() {
  const timespec pause = {0, 80 * 1000000};
  nanosleep(&pause, nullptr);
}
[[maybe_unused]] const bool kSlowed = (SaverTickHook = SlowDown, true);
}  // namespace
