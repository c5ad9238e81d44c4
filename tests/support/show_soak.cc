#include "show_soak.h"

#include "alloc_counter.h"
#include "cube/model.h"
#include "cube/show.h"
#include "model_invariants.h"
#include "settings/settings.h"

namespace {
long Frames = 0;
void CountFrame() { ++Frames; }
}  // namespace

SoakResult RunShowSoak(long ticks, uint32_t seed) {
  SoakResult result;
  ResetShowForTesting();
  SeedShowRandom(seed);
  ResetCube();
  Frames = 0;
  const long before = AllocationCount();
  for (long tick = 0; tick < ticks; ++tick) {
    SaverSettings.Explode = tick >= ticks / 2;
    const int32_t state = ShowState;
    ShowTick(CountFrame);
    if (state != SHOW_SOLVE || ShowState != SHOW_WAIT) continue;
    ++result.shows;
    if (CubeIsSolved() && BrokenModelInvariant(false).empty()) continue;
    if (result.broken_shows++ == 0) {
      result.first_broken = CubeIsSolved() ? BrokenModelInvariant(false) : "the cube is not solved";
    }
  }
  result.allocations = AllocationCount() - before;
  result.frames = Frames;
  return result;
}
