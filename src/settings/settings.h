// The four user settings, one process-wide record named after the stored
// values that hold them.
#pragma once

#include <cstdint>

enum { kTexturePathBytes = 260, kDefaultDisplacement = 60 };

struct SaverSettingsRecord {
  int32_t Surface;       // non-zero: the front face shows the user's bitmap
  int32_t Explode;       // non-zero: the cube flies apart around the scramble
  int32_t Displacement;  // eye to cube centre, scene units
  char Texture[kTexturePathBytes];
};

extern SaverSettingsRecord SaverSettings;
