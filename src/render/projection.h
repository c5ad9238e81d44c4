// The show's one perspective, which the drawing sets and the damage
// arithmetic projects points with: 30 degrees of field, the near plane 20
// from the eye and the far one 50 beyond the cube's centre, with the tiled
// background just inside it.
#pragma once

#include <cstdint>

struct ShowPerspective {
  double fov_y_degrees, aspect, near_z, far_z;
};
// For a view of width x height; a zero height has no aspect and is drawn
// as if square.
ShowPerspective PerspectiveFor(int32_t width, int32_t height);
// How far beyond the cube's centre the background lies.
constexpr float kBackgroundBeyondCube = 49.9f;
