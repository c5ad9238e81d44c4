#include "trace.h"

#include <cstdio>
#include <cstring>

#include "cube/model.h"
#include "cube/show.h"
#include "settings/settings.h"

namespace {

const char kUsage[] = "usage: quarlo-trace --seed N --ticks T [--explode]";

bool Fail(char* error, size_t size, const char* what, const char* arg) {
  std::snprintf(error, size, "quarlo-trace: %s%s%s\n%s", what, arg ? ": " : "", arg ? arg : "",
                kUsage);
  return false;
}

}  // namespace

bool ParseTraceArgs(int argc, const char* const* argv, TraceOptions* options, char* error,
                    size_t error_size) {
  bool have_seed = false, have_ticks = false;
  options->explode = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--explode") == 0) {
      options->explode = true;
      continue;
    }
    const bool is_seed = std::strcmp(arg, "--seed") == 0;
    const bool is_ticks = std::strcmp(arg, "--ticks") == 0;
    if (!is_seed && !is_ticks) return Fail(error, error_size, "unknown argument", arg);
    if (i + 1 >= argc) return Fail(error, error_size, "missing value after", arg);
    uint64_t value = 0;
    const char* text = argv[++i];
    if (is_seed) {
      if (!ParseDecimal(text, 0xFFFFFFFFu, &value))
        return Fail(error, error_size, "--seed takes a whole number from 0 to 4294967295", text);
      options->seed = static_cast<uint32_t>(value);
      have_seed = true;
    } else {
      if (!ParseDecimal(text, 0x7FFFFFFFu, &value))
        return Fail(error, error_size, "--ticks takes a whole number from 0 to 2147483647", text);
      options->ticks = static_cast<int64_t>(value);
      have_ticks = true;
    }
  }
  if (!have_seed) return Fail(error, error_size, "--seed is required", nullptr);
  if (!have_ticks) return Fail(error, error_size, "--ticks is required", nullptr);
  return true;
}

size_t FormatTraceLine(int64_t tick, char* out, size_t out_size) {
  int n = std::snprintf(out, out_size,
                        "{\"tick\":%lld,\"state\":%d,\"counter\":%d,\"angle\":%d,\"move\":%d,"
                        "\"index\":%d,\"slots\":[",
                        static_cast<long long>(tick), ShowState, ShowCounter, TurnAngle,
                        CurrentMove, HistoryIndex);
  size_t used = n < 0 ? out_size : static_cast<size_t>(n);
  for (int s = 0; s < kCubies && used < out_size; ++s) {
    n = std::snprintf(out + used, out_size - used, s ? ",%d" : "%d", SlotTable[s]);
    used += n < 0 ? out_size : static_cast<size_t>(n);
  }
  if (used < out_size) {
    n = std::snprintf(out + used, out_size - used, "]}");
    used += n < 0 ? out_size : static_cast<size_t>(n);
  }
  return used < out_size ? used : 0;
}

void StartTrace(const TraceOptions& options) {
  ResetShowForTesting();
  SaverSettings.Explode = options.explode ? 1 : 0;
  SeedShowRandom(options.seed);
  ResetCube();
}
