// A million ticks: no allocation while the show runs, and the cube solved,
// with every invariant of the model, at the end of every show.
#include <gtest/gtest.h>

#include "show_soak.h"

namespace {

TEST(ShowSoakTest, MillionTicksAllocateNothingAndEveryShowEndsSolved) {
  const SoakResult soak = RunShowSoak(1000000, 20261206u);
  EXPECT_EQ(soak.allocations, 0);
  EXPECT_EQ(soak.broken_shows, 0) << soak.first_broken;
  EXPECT_EQ(soak.frames, 1000000);
  // 500000 ticks at 201 per show, then 500000 at 312.
  EXPECT_GT(soak.shows, 2487 + 1601 - 3);
}

}  // namespace
