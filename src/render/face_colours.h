// The plain colours of the cube's faces, owned here for the drawing and for
// the pictures whose transparent parts show the front face's colour.
#pragma once

#include <cstdint>

enum { FACE_RIGHT, FACE_FRONT, FACE_TOP, FACE_LEFT, FACE_BOTTOM, FACE_BACK, kFaces };

// Red, green and blue from 0 to 1, in face order.
inline constexpr float kFaceColours[kFaces][3] = {
    {1, 1, 0}, {0, 0, 1}, {1, 0, 0}, {0, 1, 0}, {1, 0, 1}, {0, 1, 1},
};

// One channel of a face's colour as a byte.
inline constexpr uint8_t FaceColourByte(int face, int channel) {
  return static_cast<uint8_t>(kFaceColours[face][channel] * 255.0f + 0.5f);
}
