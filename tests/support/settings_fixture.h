// The user's stored settings, for tests, in the platform's own store: the
// registry on Windows; on Linux the settings file, under a temporary
// XDG_CONFIG_HOME of the test process's own.
#pragma once

#include <cstdint>
#include <string>

#include "settings/settings.h"
#include "settings/store.h"

// A dword's data as stored: its four bytes, little-endian.
inline std::string DwordBytes(uint32_t value) {
  return std::string{char(value), char(value >> 8), char(value >> 16), char(value >> 24)};
}

// No stored settings at all.
void ClearStoredSettings();
// The settings key with no values in it.
void MakeEmptySettingsKey();
// Stores one value as another program might have: any type, any bytes.
void PlantStoredValue(const char* name, uint32_t type, const std::string& data);
inline void PlantStoredDword(const char* name, uint32_t value) {
  PlantStoredValue(name, kValueDword, DwordBytes(value));
}
#ifdef _WIN32
// A value as the registry holds it; false when it is absent.
struct StoredValue { uint32_t type = 0; std::string data; };
bool ReadStoredValue(const char* name, StoredValue* value);
#endif
// How many values the settings key holds.
int CountStoredValues();

// The four settings as one line, to compare records and show them.
inline std::string SettingsText(int32_t surface, int32_t explode, int32_t displacement,
                                const std::string& texture) {
  return "Surface " + std::to_string(surface) + ", Explode " + std::to_string(explode) +
         ", Displacement " + std::to_string(displacement) + ", Texture \"" + texture + "\"";
}
// What LoadSettings makes of the store, over a record of {7, 7, 33, "stale"}.
inline std::string LoadedSettings() {
  SaverSettings = SaverSettingsRecord{7, 7, 33, "stale"};
  LoadSettings();
  const SaverSettingsRecord& r = SaverSettings;
  return SettingsText(r.Surface, r.Explode, r.Displacement, r.Texture);
}
