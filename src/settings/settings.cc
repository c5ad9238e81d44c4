#include "settings/settings.h"

#include <cstring>

#include "settings/store.h"

SaverSettingsRecord SaverSettings = {0, 0, kDefaultDisplacement, {0}};

const char kSettingsKeyPath[] = "Software\\Orvendel\\QuarloScreenSaver";

namespace {

int32_t ReadInteger(SettingsKey* key, const char* name, int32_t fallback) {
  uint8_t bytes[4] = {};  // shorter data leaves the high bytes 0
  uint32_t size = sizeof bytes;
  if (!ReadSettingsValue(key, name, bytes, &size)) return fallback;
  return static_cast<int32_t>(uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 |
                              uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24);
}

void WriteInteger(SettingsKey* key, const char* name, int32_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  const uint8_t bytes[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
  WriteSettingsValue(key, name, kValueDword, bytes, sizeof bytes);
}

void ReadTexture(SettingsKey* key) {
  char* texture = SaverSettings.Texture;
  uint32_t size = kTexturePathBytes;
  if (!ReadSettingsValue(key, "Texture", texture, &size)) size = 0;
  // A value stored without its NUL, or binary data, still ends inside the field.
  texture[size < kTexturePathBytes ? size : kTexturePathBytes - 1] = '\0';
}

}  // namespace

void LoadSettings() {
  SettingsKey* key = OpenSettingsKey(false);
  if (!key) {
    SaverSettings.Surface = 0;
    SaverSettings.Explode = 0;
    SaverSettings.Texture[0] = '\0';
    return;
  }
  SaverSettings.Surface = ReadInteger(key, "Surface", 0);
  SaverSettings.Explode = ReadInteger(key, "Explode", 0);
  SaverSettings.Displacement = ReadInteger(key, "Displacement", kDefaultDisplacement);
  ReadTexture(key);
  CloseSettingsKey(key);
}

void SaveSettings(const char* typed_path) {
  SettingsKey* key = OpenSettingsKey(true);
  if (!key) return;
  WriteInteger(key, "Surface", SaverSettings.Surface);
  WriteInteger(key, "Explode", SaverSettings.Explode);
  WriteInteger(key, "Displacement", SaverSettings.Displacement);
  const size_t length = typed_path ? strnlen(typed_path, kTypedPathChars) : 0;
  if (length) std::memcpy(SaverSettings.Texture, typed_path, length);
  SaverSettings.Texture[length] = '\0';
  WriteSettingsValue(key, "Texture", kValueString, SaverSettings.Texture,
                     static_cast<uint32_t>(length + 1));
  CloseSettingsKey(key);
}
