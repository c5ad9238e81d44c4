// The saver on a machine too slow for its tick: every show tick takes 80 ms
// longer than the 50 ms between ticks. The link wraps ShowTick (by its
// mangled name) in this.
#include <time.h>

#include "cube/show.h"

extern "C" void __real__Z8ShowTickPFvvE(ShowDrawFunction draw);
extern "C" void __wrap__Z8ShowTickPFvvE(ShowDrawFunction draw) {
  __real__Z8ShowTickPFvvE(draw);
  const timespec pause = {0, 80 * 1000000};
  nanosleep(&pause, nullptr);
}
