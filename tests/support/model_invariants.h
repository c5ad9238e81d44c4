// The cube model's invariants, checked by the tests and the soak: the slot
// and home tables inverse, the axis and facing rows inverse permutations,
// slot 13 holding cubie 13, and every committed matrix a rotation that turns
// each own axis to its facing direction and the cubie's slot to where it
// stands (up to rounding); with no turn shown, the animated matrices equal.
#pragma once

#include <cstddef>
#include <string>

// The first invariant that doesn't hold, in words; empty when all hold.
std::string BrokenModelInvariant(bool turn_shown);

// Whether `count` floats from a and b differ by at most `tolerance` each.
bool Near(const float* a, const float* b, size_t count, float tolerance = 1e-5f);
