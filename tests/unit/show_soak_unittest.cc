// A million ticks: no allocation while the show runs, and the cube solved
// at the end of every show.
#include <gtest/gtest.h>

#include "alloc_counter.h"
#include "cube/model.h"
#include "cube/show.h"
#include "settings/settings.h"

namespace {

long Frames = 0;
void CountFrame() { ++Frames; }

TEST(ShowSoakTest, MillionTicksAllocateNothingAndEveryShowEndsSolved) {
  ResetShowForTesting();
  SeedShowRandom(20261206u);
  ResetCube();
  long shows = 0, unsolved = 0;
  const long before = AllocationCount();
  for (long tick = 0; tick < 1000000; ++tick) {
    // Half the run with the explode phases, half without.
    SaverSettings.Explode = tick >= 500000;
    const int32_t state = ShowState;
    ShowTick(CountFrame);
    if (state == SHOW_SOLVE && ShowState == SHOW_WAIT) {
      ++shows;
      unsolved += !CubeIsSolved();
    }
  }
  const long during = AllocationCount() - before;
  EXPECT_EQ(during, 0);
  EXPECT_EQ(unsolved, 0);
  EXPECT_EQ(Frames, 1000000);
  // 500000 ticks at 201 per show, then 500000 at 312.
  EXPECT_GT(shows, 2487 + 1601 - 3);
}

}  // namespace
