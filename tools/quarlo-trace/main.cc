// quarlo-trace --seed N --ticks T [--explode]
// Prints one JSON line per tick of the cube show, seeded with N.
#include <cstdio>

#include "trace.h"
#include "cube/show.h"

int main(int argc, char** argv) {
  TraceOptions options;
  char error[256];
  if (!ParseTraceArgs(argc, argv, &options, error, sizeof error)) {
    std::fprintf(stderr, "%s\n", error);
    return 2;
  }
  StartTrace(options);
  char line[512];
  for (int64_t tick = 1; tick <= options.ticks; ++tick) {
    ShowTick(nullptr);  // no picture: nothing to draw
    const size_t n = FormatTraceLine(tick, line, sizeof line);
    line[n] = '\n';
    if (std::fwrite(line, 1, n + 1, stdout) != n + 1) return 1;
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
