// Runs the show for many ticks without drawing, half of them with the
// explode phases and half without, checking the model's invariants (and the
// cube solved) at every show's end and counting allocations after set-up.
#pragma once

#include <cstdint>
#include <string>

struct SoakResult {
  long shows = 0;
  long broken_shows = 0;  // shows that ended with an invariant broken
  std::string first_broken;
  long allocations = 0;
  long frames = 0;  // ticks that handed a frame to draw
};

SoakResult RunShowSoak(long ticks, uint32_t seed);
