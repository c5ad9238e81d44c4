// The four user settings, one process-wide record named after the stored
// values that hold them, and their loading and saving.
#pragma once

#include <cstdint>

enum {
  kTexturePathBytes = 260,
  kTypedPathChars = 258,  // the most of a typed path that is saved
  kDefaultDisplacement = 60,
};

struct SaverSettingsRecord {
  int32_t Surface;       // non-zero: the front face shows the user's bitmap
  int32_t Explode;       // non-zero: the cube flies apart around the scramble
  int32_t Displacement;  // eye to cube centre, scene units
  char Texture[kTexturePathBytes];
};

extern SaverSettingsRecord SaverSettings;

// The key that holds the values, under the user's part of the registry.
extern const char kSettingsKeyPath[];

// Fills SaverSettings from the user's stored values. No store: Surface and
// Explode 0, Texture empty, Displacement as it was. A value that is missing,
// unreadable or too large for its field gets that field's default; the
// stored type is not looked at, the first bytes are the value.
void LoadSettings();
// Stores the record, with `typed_path` (the dialog's path box, cut to 258
// characters) as Texture. Nothing is reported: when the store can't be
// written it stays as it was.
void SaveSettings(const char* typed_path);
