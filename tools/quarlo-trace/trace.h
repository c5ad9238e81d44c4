// quarlo-trace: runs the cube show without a picture and prints its state.
#pragma once

#include <cstddef>
#include <cstdint>

#include "decimal.h"

struct TraceOptions {
  uint32_t seed;
  int64_t ticks;
  bool explode;
};

// Reads the command line (argv[0] is the program). On failure returns false
// and leaves a one-line reason in error.
bool ParseTraceArgs(int argc, const char* const* argv, TraceOptions* options, char* error,
                    size_t error_size);

// Formats the show and model state after tick k as one JSON object with no
// newline. Returns the length, or 0 if the buffer is too small.
size_t FormatTraceLine(int64_t tick, char* out, size_t out_size);

// Puts the show and the cube back to their start, seeds the generator and
// sets the explode flag: the state in which the first tick of a run begins.
void StartTrace(const TraceOptions& options);
