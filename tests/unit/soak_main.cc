// show_soak [TICKS]: the show for ten million ticks (or TICKS), half with
// the explode phases; prints what it saw and fails on a broken show or an
// allocation.
#include <cstdio>
#include <cstdlib>

#include "show_soak.h"

int main(int argc, char** argv) {
  const long ticks = argc > 1 ? std::atol(argv[1]) : 10000000;
  if (ticks <= 0) {
    std::fprintf(stderr, "usage: show_soak [TICKS]\n");
    return 2;
  }
  const SoakResult soak = RunShowSoak(ticks, 20261207u);
  std::printf("%ld ticks, %ld shows, %ld broken%s%s, %ld allocations, %ld frames\n", ticks,
              soak.shows, soak.broken_shows, soak.broken_shows ? ": " : "",
              soak.first_broken.c_str(), soak.allocations, soak.frames);
  return soak.broken_shows == 0 && soak.allocations == 0 && soak.frames == ticks ? 0 : 1;
}
